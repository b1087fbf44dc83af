#pragma once
// The IUnknown part of an object that implements one interface: a reference count that
// starts at 1 and changes atomically, deletion of the object when it reaches 0, and
// QueryInterface for IUnknown and that interface.

#include "Platform/Com/Unknown.h"

#include <atomic>

namespace Platform {

template <class Interface, const IID& InterfaceId> class ComObject : public Interface {
public:
    HRESULT QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == InterfaceId) {
            *object = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }

    ULONG AddRef() override { return references.fetch_add(1) + 1; }

    ULONG Release() override
    {
        const ULONG left = references.fetch_sub(1) - 1;
        if (left == 0)
            delete this;
        return left;
    }

protected:
    ComObject() = default;
    virtual ~ComObject() = default;
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

private:
    std::atomic<ULONG> references{1};
};

} // namespace Platform
