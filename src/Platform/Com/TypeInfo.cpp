#include "Platform/Com/TypeInfo.h"

#include "Platform/Text/TextConv.h"

#include <algorithm>

namespace Platform {

namespace {

bool SameName(std::u16string_view a, const std::wstring& b)
{
    const std::wstring wide = Utf16ToWide(a);
    return std::equal(wide.begin(), wide.end(), b.begin(), b.end(), [](wchar_t x, wchar_t y) {
        auto fold = [](wchar_t c) { return c >= L'a' && c <= L'z' ? wchar_t(c - 32) : c; };
        return fold(x) == fold(y);
    });
}

// Converts one argument to the parameter's type; the converted value holds its own
// reference or string, freed by VariantClear.
HRESULT ConvertArgument(const VARIANT& argument, TypeInfo::ParamType type, VARIANT& converted)
{
    VariantInit(&converted);
    switch (type) {
    case TypeInfo::ParamType::Bstr:
        if (argument.vt != VT_BSTR)
            return DISP_E_TYPEMISMATCH;
        converted.vt = VT_BSTR;
        converted.bstrVal = SysAllocStringLen(argument.bstrVal, SysStringLen(argument.bstrVal));
        return S_OK;
    case TypeInfo::ParamType::Int:
        if (argument.vt != VT_I4)
            return DISP_E_TYPEMISMATCH;
        converted = argument;
        return S_OK;
    case TypeInfo::ParamType::Dispatch:
    case TypeInfo::ParamType::DispatchEx:
        break;
    }
    converted.vt = VT_DISPATCH;
    converted.pdispVal = nullptr;
    if (argument.vt == VT_EMPTY || (argument.vt == VT_DISPATCH && !argument.pdispVal))
        return S_OK;
    if (argument.vt != VT_DISPATCH)
        return DISP_E_TYPEMISMATCH;
    const IID& wanted = type == TypeInfo::ParamType::DispatchEx ? IID_IDispatchEx : IID_IDispatch;
    void* object = nullptr;
    if (FAILED(argument.pdispVal->QueryInterface(wanted, &object)))
        return DISP_E_TYPEMISMATCH;
    converted.pdispVal =
        type == TypeInfo::ParamType::DispatchEx ? static_cast<IDispatchEx*>(object) : static_cast<IDispatch*>(object);
    return S_OK;
}

} // namespace

TypeInfo::TypeInfo(ITypeLib& library, Description description) : library(library), type(std::move(description)) {}

HRESULT TypeInfo::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_ITypeInfo) {
        *object = static_cast<ITypeInfo*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG TypeInfo::AddRef()
{
    return library.AddRef();
}

ULONG TypeInfo::Release()
{
    return library.Release();
}

HRESULT TypeInfo::GetTypeAttr(TYPEATTR* attributes)
{
    if (!attributes)
        return E_POINTER;
    attributes->guid = type.guid;
    attributes->typekind = type.kind;
    attributes->cFuncs = WORD(type.members.size());
    attributes->cImplTypes = WORD(type.implemented.size());
    attributes->wTypeFlags = type.flags;
    return S_OK;
}

HRESULT TypeInfo::GetIDsOfNames(const char16_t* const* names, UINT count, DISPID* ids)
{
    if (!names || !ids)
        return E_POINTER;
    std::fill(ids, ids + count, DISPID_UNKNOWN);
    if (count == 0)
        return S_OK;
    const auto member = std::find_if(type.members.begin(), type.members.end(), [&](const Member& candidate) {
        return names[0] && SameName(names[0], candidate.name);
    });
    if (member == type.members.end())
        return DISP_E_UNKNOWNNAME;
    ids[0] = member->id;
    HRESULT result = S_OK;
    for (UINT i = 1; i < count; ++i) {
        const auto param = std::find_if(member->params.begin(), member->params.end(), [&](const Param& candidate) {
            return names[i] && SameName(names[i], candidate.name);
        });
        if (param == member->params.end())
            result = DISP_E_UNKNOWNNAME;
        else
            ids[i] = DISPID(param - member->params.begin());
    }
    return result;
}

const TypeInfo::Member* TypeInfo::FindMember(DISPID id, WORD flags, UINT& slot) const
{
    for (slot = 0; slot < type.members.size(); ++slot) {
        const Member& member = type.members[slot];
        if (member.id == id && (member.invokeKind & flags))
            return &member;
    }
    return nullptr;
}

HRESULT TypeInfo::Invoke(IMemberCall* instance, DISPID id, WORD flags, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                         UINT* argError)
{
    if (!instance)
        return E_INVALIDARG;
    UINT slot = 0;
    const Member* member = FindMember(id, flags, slot);
    if (!member)
        return DISP_E_MEMBERNOTFOUND;
    const UINT count = params ? params->cArgs : 0;
    if (count != member->params.size() || (count && !params->rgvarg))
        return DISP_E_BADPARAMCOUNT;
    std::vector<VARIANT> arguments(count);
    HRESULT hr = S_OK;
    UINT converted = 0;
    for (; converted < count && SUCCEEDED(hr); ++converted) {
        // The caller's arguments come last first.
        hr = ConvertArgument(params->rgvarg[count - 1 - converted], member->params[converted].type,
                             arguments[converted]);
        if (FAILED(hr) && argError)
            *argError = count - 1 - converted;
    }
    if (SUCCEEDED(hr))
        hr = instance->CallMember(slot, arguments.data());
    for (VARIANT& argument : arguments)
        VariantClear(&argument);
    return hr;
}

HRESULT TypeInfo::GetDocumentation(DISPID id, BSTR* name, BSTR* docString)
{
    const std::wstring* foundName = &type.name;
    const std::wstring* foundHelp = &type.helpString;
    if (id != MEMBERID_NIL) {
        const auto member = std::find_if(type.members.begin(), type.members.end(),
                                         [id](const Member& candidate) { return candidate.id == id; });
        if (member == type.members.end())
            return TYPE_E_ELEMENTNOTFOUND;
        foundName = &member->name;
        foundHelp = &member->helpString;
    }
    if (name)
        *name = BstrFromWide(*foundName);
    if (docString)
        *docString = BstrFromWide(*foundHelp);
    return S_OK;
}

HRESULT TypeInfo::GetImplTypeInfo(UINT index, ITypeInfo** info)
{
    if (!info)
        return E_POINTER;
    *info = nullptr;
    if (index >= type.implemented.size())
        return TYPE_E_ELEMENTNOTFOUND;
    for (UINT i = 0; i < library.GetTypeInfoCount(); ++i) {
        ITypeInfo* candidate = nullptr;
        if (FAILED(library.GetTypeInfo(i, &candidate)))
            continue;
        BSTR candidateName = nullptr;
        candidate->GetDocumentation(MEMBERID_NIL, &candidateName, nullptr);
        const bool match = WideFromBstr(candidateName) == type.implemented[index];
        SysFreeString(candidateName);
        if (match) {
            *info = candidate;
            return S_OK;
        }
        candidate->Release();
    }
    return TYPE_E_ELEMENTNOTFOUND;
}

HRESULT TypeInfo::GetContainingTypeLib(ITypeLib** containing)
{
    if (!containing)
        return E_POINTER;
    library.AddRef();
    *containing = &library;
    return S_OK;
}

} // namespace Platform
