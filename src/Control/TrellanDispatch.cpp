#include "Control/ITrellan.h"

#include <string_view>

using namespace Platform;

HRESULT TrellanDispatch::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_ITrellan) {
        *object = static_cast<ITrellan*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG TrellanDispatch::AddRef()
{
    return ++references;
}

ULONG TrellanDispatch::Release()
{
    const ULONG left = --references;
    if (left == 0)
        delete this;
    return left;
}

HRESULT TrellanDispatch::GetIDsOfNames(const char16_t* const* names, UINT count, LCID, DISPID* ids)
{
    if (!names || !ids)
        return E_POINTER;
    HRESULT result = S_OK;
    for (UINT i = 0; i < count; ++i) {
        const std::u16string_view name = names[i] ? names[i] : u"";
        if (name == u"postMessage")
            ids[i] = DISPID_postMessage;
        else if (name == u"FireRecvMessage")
            ids[i] = DISPID_FireRecvMessage;
        else if (name == u"recvMessage")
            ids[i] = DISPID_recvMessage;
        else {
            ids[i] = -1;
            result = DISP_E_UNKNOWNNAME;
        }
    }
    return result;
}

HRESULT TrellanDispatch::Invoke(DISPID id, LCID, WORD flags, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*)
{
    if (!params || params->cArgs != 1)
        return DISP_E_BADPARAMCOUNT;
    VARIANT& argument = params->rgvarg[0];
    switch (id) {
    case DISPID_postMessage:
    case DISPID_FireRecvMessage:
        if (!(flags & DISPATCH_METHOD))
            return DISP_E_MEMBERNOTFOUND;
        if (argument.vt != VT_BSTR)
            return DISP_E_TYPEMISMATCH;
        return id == DISPID_postMessage ? postMessage(argument.bstrVal) : FireRecvMessage(argument.bstrVal);
    case DISPID_recvMessage:
        if (!(flags & DISPATCH_PROPERTYPUT))
            return DISP_E_MEMBERNOTFOUND;
        if (argument.vt == VT_EMPTY)
            return put_recvMessage(nullptr);
        if (argument.vt != VT_DISPATCH)
            return DISP_E_TYPEMISMATCH;
        if (!argument.pdispVal)
            return put_recvMessage(nullptr);
        {
            ComPtr<IDispatchEx> function;
            const HRESULT hr = argument.pdispVal->QueryInterface(IID_IDispatchEx, reinterpret_cast<void**>(function.Put()));
            if (FAILED(hr))
                return DISP_E_TYPEMISMATCH;
            return put_recvMessage(function.Get());
        }
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}
