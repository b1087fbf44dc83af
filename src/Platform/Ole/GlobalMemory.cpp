#include "Platform/Ole/GlobalMemory.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <unordered_map>

namespace Platform {
namespace {

struct Block {
    std::unique_ptr<std::byte[]> bytes;
    std::size_t size = 0;
    UINT locks = 0;
};

class BlockTable {
public:
    static BlockTable& Instance()
    {
        static BlockTable table;
        return table;
    }

    HGLOBAL Add(Block block)
    {
        std::lock_guard guard(lock);
        const HGLOBAL handle = reinterpret_cast<HGLOBAL>(nextHandle);
        nextHandle += 16;
        blocks.emplace(handle, std::move(block));
        return handle;
    }

    // Runs use on the live block, under the table's lock; false for a dead handle.
    template <class Use> bool With(HGLOBAL handle, Use use)
    {
        std::lock_guard guard(lock);
        auto found = blocks.find(handle);
        if (found == blocks.end())
            return false;
        use(found->second);
        return true;
    }

    bool Remove(HGLOBAL handle)
    {
        std::lock_guard guard(lock);
        return blocks.erase(handle) != 0;
    }

private:
    std::mutex lock;
    std::uintptr_t nextHandle = 0x10000;
    std::unordered_map<HGLOBAL, Block> blocks;
};

} // namespace

HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes)
{
    Block block;
    block.bytes.reset(new (std::nothrow) std::byte[bytes == 0 ? 1 : bytes]);
    if (!block.bytes)
        return nullptr;
    if (flags & GMEM_ZEROINIT)
        std::memset(block.bytes.get(), 0, bytes);
    block.size = bytes;
    return BlockTable::Instance().Add(std::move(block));
}

void* GlobalLock(HGLOBAL handle)
{
    void* first = nullptr;
    BlockTable::Instance().With(handle, [&](Block& block) {
        if (block.size == 0)
            return;
        ++block.locks;
        first = block.bytes.get();
    });
    return first;
}

BOOL GlobalUnlock(HGLOBAL handle)
{
    BOOL stillLocked = FALSE;
    BlockTable::Instance().With(handle, [&](Block& block) {
        if (block.locks > 0)
            --block.locks;
        stillLocked = block.locks > 0 ? TRUE : FALSE;
    });
    return stillLocked;
}

std::size_t GlobalSize(HGLOBAL handle)
{
    std::size_t size = 0;
    BlockTable::Instance().With(handle, [&](Block& block) { size = block.size; });
    return size;
}

HGLOBAL GlobalFree(HGLOBAL handle)
{
    return BlockTable::Instance().Remove(handle) ? nullptr : handle;
}

} // namespace Platform
