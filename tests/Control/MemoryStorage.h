#pragma once
// In-memory streams and a storage of named streams, as a container gives a control
// to save itself in.

#include "Platform/Com/Persist.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <map>
#include <string>
#include <vector>

class MemoryStream final : public Platform::IStream {
public:
    Platform::HRESULT QueryInterface(Platform::REFIID iid, void** object) override
    {
        if (iid == Platform::IID_IUnknown || iid == Platform::IID_IStream) {
            *object = static_cast<Platform::IStream*>(this);
            AddRef();
            return Platform::S_OK;
        }
        *object = nullptr;
        return Platform::E_NOINTERFACE;
    }
    Platform::ULONG AddRef() override { return ++references; }
    Platform::ULONG Release() override { return --references; }

    Platform::HRESULT Read(void* data, Platform::ULONG size, Platform::ULONG* read) override
    {
        const std::size_t count = std::min<std::size_t>(size, bytes.size() - position);
        std::memcpy(data, bytes.data() + position, count);
        position += count;
        if (read)
            *read = Platform::ULONG(count);
        return count == size ? Platform::S_OK : Platform::S_FALSE;
    }
    Platform::HRESULT Write(const void* data, Platform::ULONG size, Platform::ULONG* written) override
    {
        const auto* in = static_cast<const std::uint8_t*>(data);
        bytes.resize(std::max(bytes.size(), position + size));
        std::copy(in, in + size, bytes.begin() + std::ptrdiff_t(position));
        position += size;
        if (written)
            *written = size;
        return Platform::S_OK;
    }

    void Rewind() { position = 0; }

    std::vector<std::uint8_t> bytes;
    std::size_t position = 0;
    std::atomic<Platform::ULONG> references{0};
};

class MemoryStorage final : public Platform::IStorage {
public:
    Platform::HRESULT QueryInterface(Platform::REFIID iid, void** object) override
    {
        if (iid == Platform::IID_IUnknown || iid == Platform::IID_IStorage) {
            *object = static_cast<Platform::IStorage*>(this);
            AddRef();
            return Platform::S_OK;
        }
        *object = nullptr;
        return Platform::E_NOINTERFACE;
    }
    Platform::ULONG AddRef() override { return 1; }
    Platform::ULONG Release() override { return 1; }

    Platform::HRESULT CreateStream(const wchar_t* name, Platform::DWORD, Platform::IStream** stream) override
    {
        MemoryStream& created = streams[name];
        created.bytes.clear();
        created.Rewind();
        created.AddRef();
        *stream = &created;
        return Platform::S_OK;
    }
    Platform::HRESULT OpenStream(const wchar_t* name, Platform::DWORD, Platform::IStream** stream) override
    {
        auto found = streams.find(name);
        if (found == streams.end()) {
            *stream = nullptr;
            return Platform::STG_E_FILENOTFOUND;
        }
        found->second.Rewind();
        found->second.AddRef();
        *stream = &found->second;
        return Platform::S_OK;
    }

    std::map<std::wstring, MemoryStream> streams;
};
