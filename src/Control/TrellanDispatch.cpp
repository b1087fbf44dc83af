#include "Control/ITrellan.h"

#include "Control/TrellanTypeLib.h"

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
    ITypeInfo* info = TrellanTypeInfo();
    return info ? info->GetIDsOfNames(names, count, ids) : TYPE_E_CANTLOADLIBRARY;
}

HRESULT TrellanDispatch::Invoke(DISPID id, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                UINT* argError)
{
    ITypeInfo* info = TrellanTypeInfo();
    return info ? info->Invoke(this, id, flags, params, result, exception, argError) : TYPE_E_CANTLOADLIBRARY;
}

HRESULT TrellanDispatch::CallMember(UINT slot, VARIANT* arguments)
{
    switch (slot) {
    case 0:
        return postMessage(arguments[0].bstrVal);
    case 1:
        return FireRecvMessage(arguments[0].bstrVal);
    case 2:
        // The type library declares the parameter as IDispatchEx, which the checked
        // argument holds.
        return put_recvMessage(static_cast<IDispatchEx*>(arguments[0].pdispVal));
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}
