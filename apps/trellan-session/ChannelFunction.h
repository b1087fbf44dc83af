#pragma once
// The page's recvMessage function as the session plays it: each text the control sends
// goes to the page as {"t":"event","text":...}, in order.

#include "Platform/Com/Unknown.h"

#include <atomic>

namespace Platform::Web {
class WebChannel;
}

class ChannelFunction final : public Platform::IDispatchEx {
public:
    explicit ChannelFunction(Platform::Web::WebChannel& channel) : channel(channel) {}

    Platform::HRESULT QueryInterface(Platform::REFIID iid, void** object) override;
    Platform::ULONG AddRef() override;
    Platform::ULONG Release() override;
    Platform::HRESULT GetIDsOfNames(const char16_t* const* names, Platform::UINT count, Platform::LCID lcid,
                                    Platform::DISPID* ids) override;
    Platform::HRESULT Invoke(Platform::DISPID id, Platform::LCID lcid, Platform::WORD flags,
                             Platform::DISPPARAMS* params, Platform::VARIANT* result,
                             Platform::EXCEPINFO* exception, Platform::UINT* argError) override;
    Platform::HRESULT InvokeEx(Platform::DISPID id, Platform::LCID lcid, Platform::WORD flags,
                               Platform::DISPPARAMS* params, Platform::VARIANT* result,
                               Platform::EXCEPINFO* exception, Platform::IServiceProvider* caller) override;

private:
    ~ChannelFunction() = default;

    Platform::Web::WebChannel& channel;
    std::atomic<Platform::ULONG> references{1};
};
