#include "Platform/Com/TextFunction.h"

#include "Platform/Com/Bstr.h"
#include "Platform/Text/TextConv.h"

namespace Platform {

HRESULT TextFunction::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (iid != IID_IUnknown && iid != IID_IDispatch && iid != IID_IDispatchEx) {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    *object = static_cast<IDispatchEx*>(this);
    AddRef();
    return S_OK;
}

ULONG TextFunction::AddRef()
{
    return ++references;
}

ULONG TextFunction::Release()
{
    const ULONG left = --references;
    if (left == 0)
        delete this;
    return left;
}

HRESULT TextFunction::GetIDsOfNames(const char16_t* const*, UINT, LCID, DISPID*)
{
    return DISP_E_UNKNOWNNAME;
}

HRESULT TextFunction::Invoke(DISPID id, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                             EXCEPINFO* exception, UINT*)
{
    return InvokeEx(id, lcid, flags, params, result, exception, nullptr);
}

HRESULT TextFunction::InvokeEx(DISPID id, LCID, WORD flags, DISPPARAMS* params, VARIANT*, EXCEPINFO*, IServiceProvider*)
{
    if (id != DISPID_VALUE || !(flags & DISPATCH_METHOD))
        return DISP_E_MEMBERNOTFOUND;
    if (!params || params->cArgs != 1 || params->rgvarg[0].vt != VT_BSTR)
        return DISP_E_BADPARAMCOUNT;
    Receive(WideToUtf8(WideFromBstr(params->rgvarg[0].bstrVal)));
    return S_OK;
}

} // namespace Platform
