#pragma once
// Streams, storages and the interfaces by which an object saves and loads its state
// in them.

#include "Platform/Com/Unknown.h"

namespace Platform {

// {0000000C-0000-0000-C000-000000000046}
constexpr IID IID_IStream = {0x0000000C, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
// {0000000B-0000-0000-C000-000000000046}
constexpr IID IID_IStorage = {0x0000000B, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
// {0000010C-0000-0000-C000-000000000046}
constexpr IID IID_IPersist = {0x0000010C, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
// {7FD52380-4E07-101B-AE2D-08002B2EC713}
constexpr IID IID_IPersistStreamInit = {0x7FD52380, 0x4E07, 0x101B, {0xAE, 0x2D, 0x08, 0x00, 0x2B, 0x2E, 0xC7, 0x13}};
// {0000010A-0000-0000-C000-000000000046}
constexpr IID IID_IPersistStorage = {0x0000010A, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

constexpr DWORD STGM_READ = 0x0;
constexpr DWORD STGM_WRITE = 0x1;
constexpr DWORD STGM_READWRITE = 0x2;
constexpr DWORD STGM_SHARE_EXCLUSIVE = 0x10;
constexpr DWORD STGM_CREATE = 0x1000;

constexpr HRESULT STG_E_FILENOTFOUND = MakeHresult(0x80030002u);
constexpr HRESULT STG_E_READFAULT = MakeHresult(0x8003001Eu);
constexpr HRESULT STG_E_WRITEFAULT = MakeHresult(0x8003001Du);
constexpr HRESULT CO_E_ALREADYINITIALIZED = MakeHresult(0x800401F1u);

class IStream : public IUnknown {
public:
    // Reads up to size bytes at the stream's position; read receives how many.
    virtual HRESULT Read(void* data, ULONG size, ULONG* read) = 0;
    virtual HRESULT Write(const void* data, ULONG size, ULONG* written) = 0;

protected:
    ~IStream() = default;
};

class IStorage : public IUnknown {
public:
    virtual HRESULT CreateStream(const wchar_t* name, DWORD mode, IStream** stream) = 0;
    // STG_E_FILENOTFOUND when the storage has no stream of that name.
    virtual HRESULT OpenStream(const wchar_t* name, DWORD mode, IStream** stream) = 0;

protected:
    ~IStorage() = default;
};

class IPersist : public IUnknown {
public:
    virtual HRESULT GetClassID(CLSID* clsid) = 0;

protected:
    ~IPersist() = default;
};

class IPersistStreamInit : public IPersist {
public:
    // S_OK when the object changed since it was last saved, else S_FALSE.
    virtual HRESULT IsDirty() = 0;
    virtual HRESULT Load(IStream* stream) = 0;
    virtual HRESULT Save(IStream* stream, int clearDirty) = 0;
    virtual HRESULT GetSizeMax(std::uint64_t* size) = 0;
    virtual HRESULT InitNew() = 0;

protected:
    ~IPersistStreamInit() = default;
};

class IPersistStorage : public IPersist {
public:
    virtual HRESULT IsDirty() = 0;
    virtual HRESULT InitNew(IStorage* storage) = 0;
    virtual HRESULT Load(IStorage* storage) = 0;
    virtual HRESULT Save(IStorage* storage, int sameAsLoad) = 0;
    virtual HRESULT SaveCompleted(IStorage* storage) = 0;
    virtual HRESULT HandsOffStorage() = 0;

protected:
    ~IPersistStorage() = default;
};

} // namespace Platform
