#pragma once
// The type information of one interface or class of a loaded type library. It lives
// as long as its library and shares the library's reference count.

#include "Platform/Com/TypeLib.h"

#include <string>
#include <vector>

namespace Platform {

class TypeInfo final : public ITypeInfo {
public:
    enum class ParamType { Bstr, Int, Dispatch, DispatchEx };

    struct Param {
        std::wstring name;
        ParamType type = ParamType::Bstr;
    };

    struct Member {
        std::wstring name;
        std::wstring helpString;
        DISPID id = 0;
        WORD invokeKind = 0; // DISPATCH_METHOD, DISPATCH_PROPERTYGET or DISPATCH_PROPERTYPUT
        std::vector<Param> params;
    };

    struct Description {
        std::wstring name;
        std::wstring helpString;
        GUID guid{};
        TYPEKIND kind = TKIND_INTERFACE;
        WORD flags = 0;
        std::vector<Member> members;
        std::vector<std::wstring> implemented; // a class's interfaces, the default first
    };

    TypeInfo(ITypeLib& library, Description description);

    const Description& description() const { return type; }

    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT GetTypeAttr(TYPEATTR* attributes) override;
    HRESULT GetIDsOfNames(const char16_t* const* names, UINT count, DISPID* ids) override;
    HRESULT Invoke(IMemberCall* instance, DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result,
                   EXCEPINFO* exception, UINT* argError) override;
    HRESULT GetDocumentation(DISPID id, BSTR* name, BSTR* docString) override;
    HRESULT GetImplTypeInfo(UINT index, ITypeInfo** info) override;
    HRESULT GetContainingTypeLib(ITypeLib** library) override;

private:
    const Member* FindMember(DISPID id, WORD flags, UINT& slot) const;

    ITypeLib& library;
    Description type;
};

// {00020401-0000-0000-C000-000000000046}
constexpr IID IID_ITypeInfo = {0x00020401, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
// {00020402-0000-0000-C000-000000000046}
constexpr IID IID_ITypeLib = {0x00020402, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

} // namespace Platform
