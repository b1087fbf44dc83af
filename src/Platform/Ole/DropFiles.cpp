#include "Platform/Ole/DropFiles.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace Platform {
namespace {

constexpr UINT kCountQuery = 0xFFFFFFFFu;

// The paths of a block, read within its size: a list that runs past the end stops
// there, and a path without its null is not a path.
class FileListReader {
public:
    explicit FileListReader(HDROP drop) : drop(drop), bytes(static_cast<const std::byte*>(GlobalLock(drop)))
    {
        DROPFILES header;
        const std::size_t size = GlobalSize(drop);
        if (!bytes || size < sizeof header)
            return;
        std::memcpy(&header, bytes, sizeof header);
        if (!header.fWide || header.pFiles < sizeof header || header.pFiles > size)
            return;
        next = header.pFiles;
        end = size;
    }
    ~FileListReader()
    {
        if (bytes)
            GlobalUnlock(drop);
    }
    FileListReader(const FileListReader&) = delete;
    FileListReader& operator=(const FileListReader&) = delete;

    // The next path, or nothing at the end of the list.
    std::optional<std::wstring> Next()
    {
        std::wstring path;
        for (std::size_t at = next; at + sizeof(wchar_t) <= end; at += sizeof(wchar_t)) {
            wchar_t character;
            std::memcpy(&character, bytes + at, sizeof character);
            if (character == L'\0') {
                next = at + sizeof(wchar_t);
                if (path.empty())
                    break;
                return path;
            }
            path.push_back(character);
        }
        end = next;
        return std::nullopt;
    }

private:
    HDROP drop;
    const std::byte* bytes;
    std::size_t next = 0;
    std::size_t end = 0;
};

std::optional<std::wstring> PathAt(HDROP drop, UINT index)
{
    FileListReader reader(drop);
    for (UINT i = 0;; ++i) {
        std::optional<std::wstring> path = reader.Next();
        if (!path || i == index)
            return path;
    }
}

UINT CountPaths(HDROP drop)
{
    FileListReader reader(drop);
    UINT count = 0;
    while (reader.Next())
        ++count;
    return count;
}

} // namespace

bool IsListablePath(const std::wstring& path)
{
    return !path.empty() && path.find(L'\0') == std::wstring::npos;
}

HGLOBAL CreateDropFiles(const std::vector<std::wstring>& paths, POINT point)
{
    std::wstring names;
    for (const std::wstring& path : paths)
        if (IsListablePath(path))
            names.append(path).push_back(L'\0');
    names.push_back(L'\0');
    DROPFILES header;
    header.pFiles = sizeof header;
    header.pt = point;
    const std::size_t nameBytes = names.size() * sizeof(wchar_t);
    const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof header + nameBytes);
    auto* bytes = static_cast<std::byte*>(GlobalLock(block));
    if (!bytes) {
        GlobalFree(block);
        return nullptr;
    }
    std::memcpy(bytes, &header, sizeof header);
    std::memcpy(bytes + sizeof header, names.data(), nameBytes);
    GlobalUnlock(block);
    return block;
}

UINT DragQueryFileW(HDROP drop, UINT index, wchar_t* buffer, UINT size)
{
    if (index == kCountQuery)
        return CountPaths(drop);
    if (buffer && size > 0)
        buffer[0] = L'\0';
    const std::optional<std::wstring> path = PathAt(drop, index);
    if (!path)
        return 0;
    const auto length = static_cast<UINT>(path->size());
    if (!buffer)
        return length;
    if (length >= size)
        return 0;
    std::copy(path->begin(), path->end(), buffer);
    buffer[length] = L'\0';
    return length;
}

std::wstring DragQueryFilePath(HDROP drop, UINT index)
{
    return PathAt(drop, index).value_or(std::wstring());
}

} // namespace Platform
