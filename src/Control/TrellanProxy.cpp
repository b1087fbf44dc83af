#include "Control/TrellanProxy.h"

using namespace Platform;

void TrellanProxy::Register()
{
    static const bool registered = [] {
        RegisterProxyFactory(IID_ITrellan, [](IUnknown* target, ThreadCall call) -> void* {
            ComPtr<ITrellan> trellan;
            if (FAILED(target->QueryInterface(IID_ITrellan, reinterpret_cast<void**>(trellan.Put()))))
                return nullptr;
            return static_cast<ITrellan*>(new TrellanProxy(trellan.Get(), std::move(call)));
        });
        return true;
    }();
    (void)registered;
}

TrellanProxy::TrellanProxy(ITrellan* target, ThreadCall call) : target(target), call(std::move(call)) {}

HRESULT TrellanProxy::postMessage(BSTR newVal)
{
    return call.Run([&] { return target->postMessage(newVal); });
}

HRESULT TrellanProxy::FireRecvMessage(BSTR json)
{
    return call.Run([&] { return target->FireRecvMessage(json); });
}

HRESULT TrellanProxy::put_recvMessage(IDispatchEx* function)
{
    return call.Run([&] { return target->put_recvMessage(function); });
}
