#pragma once
// The class object of CTrellan. A factory counts as a module lock while it lives,
// and LockServer adds further locks.

#include "Platform/Com/ClassFactory.h"

#include <atomic>

class TrellanClassFactory final : public Platform::IClassFactory {
public:
    // One reference owned by the caller.
    TrellanClassFactory();

    Platform::HRESULT QueryInterface(Platform::REFIID iid, void** object) override;
    Platform::ULONG AddRef() override;
    Platform::ULONG Release() override;
    Platform::HRESULT CreateInstance(Platform::IUnknown* outer, Platform::REFIID iid, void** object) override;
    Platform::HRESULT LockServer(int lock) override;

private:
    ~TrellanClassFactory();

    std::atomic<Platform::ULONG> references{1};
};
