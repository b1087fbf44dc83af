#include "ChannelFunction.h"

#include "Platform/Text/TextConv.h"
#include "Platform/Web/WebChannel.h"
#include "Platform/Web/WebJson.h"

using namespace Platform;

HRESULT ChannelFunction::QueryInterface(REFIID iid, void** object)
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

ULONG ChannelFunction::AddRef()
{
    return ++references;
}

ULONG ChannelFunction::Release()
{
    const ULONG left = --references;
    if (left == 0)
        delete this;
    return left;
}

HRESULT ChannelFunction::GetIDsOfNames(const char16_t* const*, UINT, LCID, DISPID*)
{
    return DISP_E_UNKNOWNNAME;
}

HRESULT ChannelFunction::Invoke(DISPID id, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                                EXCEPINFO* exception, UINT*)
{
    return InvokeEx(id, lcid, flags, params, result, exception, nullptr);
}

HRESULT ChannelFunction::InvokeEx(DISPID id, LCID, WORD flags, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                  IServiceProvider*)
{
    if (id != DISPID_VALUE || !(flags & DISPATCH_METHOD))
        return DISP_E_MEMBERNOTFOUND;
    if (!params || params->cArgs != 1 || params->rgvarg[0].vt != VT_BSTR)
        return DISP_E_BADPARAMCOUNT;
    Json::Value message;
    message["t"] = "event";
    message["text"] = WideToUtf8(WideFromBstr(params->rgvarg[0].bstrVal));
    channel.Send(Web::FrameKind::Text, Web::CompactJson(message));
    return S_OK;
}
