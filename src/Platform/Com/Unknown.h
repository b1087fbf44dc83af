#pragma once
// IUnknown, IDispatch and IDispatchEx, and ComPtr, a reference-holding pointer.

#include "Platform/Com/ComTypes.h"
#include "Platform/Com/Variant.h"

#include <utility>

namespace Platform {

constexpr IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr IID IID_IDispatch = {0x00020400, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr IID IID_IDispatchEx = {0xA6EF9860, 0xC720, 0x11D0, {0x93, 0x37, 0x00, 0xA0, 0xC9, 0x0D, 0xCA, 0xA9}};

constexpr DISPID DISPID_VALUE = 0;
constexpr WORD DISPATCH_METHOD = 1;
constexpr WORD DISPATCH_PROPERTYGET = 2;
constexpr WORD DISPATCH_PROPERTYPUT = 4;
constexpr LCID LOCALE_USER_DEFAULT = 0x400;

// What a failing call may describe; nothing in this system fills it.
struct EXCEPINFO {
    HRESULT scode = S_OK;
};

class IUnknown {
public:
    virtual HRESULT QueryInterface(REFIID iid, void** object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default;
};

class IDispatch : public IUnknown {
public:
    virtual HRESULT GetIDsOfNames(const char16_t* const* names, UINT count, LCID lcid, DISPID* ids) = 0;
    virtual HRESULT Invoke(DISPID id, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                           UINT* argError) = 0;

protected:
    ~IDispatch() = default;
};

class IServiceProvider;

class IDispatchEx : public IDispatch {
public:
    virtual HRESULT InvokeEx(DISPID id, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                             EXCEPINFO* exception, IServiceProvider* caller) = 0;

protected:
    ~IDispatchEx() = default;
};

// Holds one reference to a component-model object.
template <class T> class ComPtr {
public:
    ComPtr() = default;
    ComPtr(T* p) : ptr(p)
    {
        if (ptr)
            ptr->AddRef();
    }
    ComPtr(const ComPtr& other) : ComPtr(other.ptr) {}
    ComPtr(ComPtr&& other) noexcept : ptr(std::exchange(other.ptr, nullptr)) {}
    ~ComPtr()
    {
        if (ptr)
            ptr->Release();
    }

    ComPtr& operator=(ComPtr other) noexcept
    {
        std::swap(ptr, other.ptr);
        return *this;
    }

    // Takes over a reference the caller already owns.
    static ComPtr Adopt(T* p)
    {
        ComPtr result;
        result.ptr = p;
        return result;
    }

    T* Get() const { return ptr; }
    T* operator->() const { return ptr; }
    explicit operator bool() const { return ptr != nullptr; }

    // For out-parameters: releases what is held and returns the slot to fill.
    T** Put()
    {
        if (ptr)
            std::exchange(ptr, nullptr)->Release();
        return &ptr;
    }

private:
    T* ptr = nullptr;
};

} // namespace Platform
