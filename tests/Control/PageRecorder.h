#pragma once
// A page function for tests: records every text the control delivers to it.

#include "Platform/Com/Unknown.h"
#include "Platform/Text/TextConv.h"

#include <atomic>
#include <functional>
#include <string>
#include <vector>

class PageRecorder final : public Platform::IDispatchEx {
public:
    std::vector<std::string> texts;
    // Runs inside the delivery, after the text is recorded (a page reacting at once).
    std::function<void(const std::string&)> onText;

    Platform::HRESULT QueryInterface(Platform::REFIID iid, void** object) override
    {
        if (iid == Platform::IID_IUnknown || iid == Platform::IID_IDispatch || iid == Platform::IID_IDispatchEx) {
            *object = static_cast<Platform::IDispatchEx*>(this);
            AddRef();
            return Platform::S_OK;
        }
        *object = nullptr;
        return Platform::E_NOINTERFACE;
    }
    Platform::ULONG AddRef() override { return ++references; }
    Platform::ULONG Release() override { return --references; }
    Platform::HRESULT GetIDsOfNames(const char16_t* const*, Platform::UINT, Platform::LCID, Platform::DISPID*) override
    {
        return Platform::E_NOTIMPL;
    }
    Platform::HRESULT Invoke(Platform::DISPID, Platform::LCID, Platform::WORD, Platform::DISPPARAMS*,
                             Platform::VARIANT*, Platform::EXCEPINFO*, Platform::UINT*) override
    {
        return Platform::E_NOTIMPL;
    }
    Platform::HRESULT InvokeEx(Platform::DISPID id, Platform::LCID lcid, Platform::WORD flags,
                               Platform::DISPPARAMS* params, Platform::VARIANT*, Platform::EXCEPINFO*,
                               Platform::IServiceProvider*) override
    {
        lastId = id;
        lastLcid = lcid;
        lastFlags = flags;
        if (params && params->cArgs == 1 && params->rgvarg[0].vt == Platform::VT_BSTR) {
            texts.push_back(Platform::WideToUtf8(Platform::WideFromBstr(params->rgvarg[0].bstrVal)));
            if (onText)
                onText(texts.back());
        }
        return Platform::E_FAIL; // a failing page function must not matter
    }

    // Stack-allocated in tests: the count only shows that references are balanced.
    std::atomic<Platform::ULONG> references{0};
    Platform::DISPID lastId = -1;
    Platform::LCID lastLcid = 0;
    Platform::WORD lastFlags = 0;
};
