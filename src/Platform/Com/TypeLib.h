#pragma once
// Type libraries: the description of a module's classes and interfaces that
// late-bound callers go through. A library is a JSON text of our own form (library
// name, GUID, version and help string; each type with its kind, name, GUID and
// members); ITypeInfo maps member names to DISPIDs and checks and converts a call's
// arguments before handing it to the object.

#include "Platform/Com/Unknown.h"

#include <span>
#include <string>
#include <string_view>

namespace Platform {

class RegistryKey;
class ITypeLib;

using REFGUID = const GUID&;

enum TYPEKIND { TKIND_INTERFACE = 3, TKIND_DISPATCH = 4, TKIND_COCLASS = 5 };

constexpr WORD TYPEFLAG_FCANCREATE = 0x2;
constexpr WORD TYPEFLAG_FCONTROL = 0x20;
constexpr WORD TYPEFLAG_FDUAL = 0x40;
constexpr WORD TYPEFLAG_FNONEXTENSIBLE = 0x80;
constexpr WORD TYPEFLAG_FOLEAUTOMATION = 0x100;

constexpr DISPID MEMBERID_NIL = -1;
constexpr DISPID DISPID_UNKNOWN = -1;
constexpr HRESULT TYPE_E_ELEMENTNOTFOUND = MakeHresult(0x8002802Bu);
constexpr HRESULT TYPE_E_INVALIDSTATE = MakeHresult(0x80028029u);
constexpr HRESULT TYPE_E_CANTLOADLIBRARY = MakeHresult(0x80029C4Au);

struct TYPEATTR {
    GUID guid{};
    TYPEKIND typekind = TKIND_INTERFACE;
    WORD cFuncs = 0;
    WORD cImplTypes = 0;
    WORD wTypeFlags = 0;
};

struct TLIBATTR {
    GUID guid{};
    WORD wMajorVerNum = 0;
    WORD wMinorVerNum = 0;
};

// What ITypeInfo::Invoke calls once a call has been checked: the member at slot (its
// place among the interface's members in the library) with its arguments converted
// to the parameter types, first parameter first.
class IMemberCall {
public:
    virtual HRESULT CallMember(UINT slot, VARIANT* arguments) = 0;

protected:
    ~IMemberCall() = default;
};

class ITypeInfo : public IUnknown {
public:
    virtual HRESULT GetTypeAttr(TYPEATTR* attributes) = 0;
    // names[0] is a member (any ASCII case), the others its parameters. Unknown names
    // get DISPID_UNKNOWN and the call answers DISP_E_UNKNOWNNAME.
    virtual HRESULT GetIDsOfNames(const char16_t* const* names, UINT count, DISPID* ids) = 0;
    // DISP_E_MEMBERNOTFOUND for a DISPID or kind of call the interface lacks,
    // DISP_E_BADPARAMCOUNT, DISP_E_TYPEMISMATCH (with the argument's index in
    // argError) for arguments that do not fit; else what the member returns.
    virtual HRESULT Invoke(IMemberCall* instance, DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result,
                           EXCEPINFO* exception, UINT* argError) = 0;
    // The name and help string of a member, or of the type for MEMBERID_NIL.
    virtual HRESULT GetDocumentation(DISPID id, BSTR* name, BSTR* docString) = 0;
    // For a class: the type information of the interface it implements at index.
    virtual HRESULT GetImplTypeInfo(UINT index, ITypeInfo** info) = 0;
    virtual HRESULT GetContainingTypeLib(ITypeLib** library) = 0;

protected:
    ~ITypeInfo() = default;
};

class ITypeLib : public IUnknown {
public:
    virtual UINT GetTypeInfoCount() = 0;
    virtual HRESULT GetTypeInfo(UINT index, ITypeInfo** info) = 0;
    virtual HRESULT GetTypeInfoOfGuid(REFGUID guid, ITypeInfo** info) = 0;
    virtual HRESULT GetLibAttr(TLIBATTR* attributes) = 0;
    // The library's name and help string for index -1, else those of type index.
    virtual HRESULT GetDocumentation(int index, BSTR* name, BSTR* docString) = 0;

protected:
    ~ITypeLib() = default;
};

// TYPE_E_CANTLOADLIBRARY when text is not a type library in our form.
HRESULT LoadTypeLibFromText(std::string_view text, ITypeLib** library);

// Writes the library's registration into a hive's classes key: the key
// TypeLib\{LIBID}\major.minor with its help string, the module path under
// 0\linux64, FLAGS and HELPDIR, and Interface\{IID} for each dispatch interface.
HRESULT RegisterTypeLib(ITypeLib* library, const std::wstring& modulePath, RegistryKey& classes);
// Removes what RegisterTypeLib wrote (the TypeLib key whole when no other version
// is left in it).
HRESULT UnRegisterTypeLib(ITypeLib* library, RegistryKey& classes);

} // namespace Platform
