#include "PageFunction.h"

#include "Biz/JsonText.h"
#include "Platform/Text/TextConv.h"

#include <cstdio>

using namespace Platform;

PageFunction::PageFunction(std::string label, EventLog& events) : label(std::move(label)), events(events) {}

HRESULT PageFunction::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IDispatchEx) {
        *object = static_cast<IDispatchEx*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG PageFunction::AddRef()
{
    return ++references;
}

ULONG PageFunction::Release()
{
    const ULONG left = --references;
    if (left == 0)
        delete this;
    return left;
}

HRESULT PageFunction::GetIDsOfNames(const char16_t* const*, UINT, LCID, DISPID*)
{
    return DISP_E_UNKNOWNNAME;
}

HRESULT PageFunction::Invoke(DISPID id, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                             EXCEPINFO* exception, UINT*)
{
    return InvokeEx(id, lcid, flags, params, result, exception, nullptr);
}

HRESULT PageFunction::InvokeEx(DISPID id, LCID, WORD flags, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                               IServiceProvider*)
{
    if (id != DISPID_VALUE || !(flags & DISPATCH_METHOD))
        return DISP_E_MEMBERNOTFOUND;
    if (!params || params->cArgs != 1 || params->rgvarg[0].vt != VT_BSTR)
        return DISP_E_BADPARAMCOUNT;
    const std::string text = WideToUtf8(WideFromBstr(params->rgvarg[0].bstrVal));
    if (!label.empty())
        std::fputs((label + " ").c_str(), stdout);
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);

    Json::Value event;
    if (ParseJson(text, event) && event.isObject() && event["name"].isString())
        events.push_back(event["name"].asString());
    return S_OK;
}
