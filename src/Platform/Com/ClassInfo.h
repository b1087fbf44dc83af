#pragma once
// Interfaces by which an object describes itself: its class's type information and
// which of its interfaces give rich error information.

#include "Platform/Com/TypeLib.h"

namespace Platform {

// {B196B283-BAB4-101A-B69C-00AA00341D07}
constexpr IID IID_IProvideClassInfo = {0xB196B283, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
// {A6BC3AC0-DBAA-11CE-9DE3-00AA004BB851}
constexpr IID IID_IProvideClassInfo2 = {0xA6BC3AC0, 0xDBAA, 0x11CE, {0x9D, 0xE3, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51}};
// {DF0B3D60-548F-101B-8E65-08002B2BD119}
constexpr IID IID_ISupportErrorInfo = {0xDF0B3D60, 0x548F, 0x101B, {0x8E, 0x65, 0x08, 0x00, 0x2B, 0x2B, 0xD1, 0x19}};

// {B196B28B-BAB4-101A-B69C-00AA00341D07}
constexpr IID IID_ISpecifyPropertyPages = {
    0xB196B28B, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};

constexpr DWORD GUIDKIND_DEFAULT_SOURCE_DISP_IID = 1;

// A counted array of GUIDs.
struct CAUUID {
    ULONG cElems = 0;
    GUID* pElems = nullptr;
};

class IProvideClassInfo : public IUnknown {
public:
    virtual HRESULT GetClassInfo(ITypeInfo** info) = 0;

protected:
    ~IProvideClassInfo() = default;
};

class IProvideClassInfo2 : public IProvideClassInfo {
public:
    // E_FAIL with the null GUID when the class has no interface of that kind.
    virtual HRESULT GetGUID(DWORD kind, GUID* guid) = 0;

protected:
    ~IProvideClassInfo2() = default;
};

class ISupportErrorInfo : public IUnknown {
public:
    // S_OK for an interface that gives rich error information, else S_FALSE.
    virtual HRESULT InterfaceSupportsErrorInfo(REFIID iid) = 0;

protected:
    ~ISupportErrorInfo() = default;
};

class ISpecifyPropertyPages : public IUnknown {
public:
    // The class ids of the object's property pages.
    virtual HRESULT GetPages(CAUUID* pages) = 0;

protected:
    ~ISpecifyPropertyPages() = default;
};

} // namespace Platform
