#pragma once
// ITrellan as another thread sees it through the Global Interface Table: every call
// runs on the control's thread and the caller waits for it.

#include "Control/ITrellan.h"
#include "Platform/Com/GlobalInterfaceTable.h"

#include <atomic>

class TrellanProxy final : public TrellanDispatch {
public:
    // Makes ITrellan's proxy factory known to the Global Interface Table; idempotent.
    static void Register();

    TrellanProxy(ITrellan* target, Platform::ThreadCall call);

    Platform::HRESULT postMessage(Platform::BSTR newVal) override;
    Platform::HRESULT FireRecvMessage(Platform::BSTR json) override;
    Platform::HRESULT put_recvMessage(Platform::IDispatchEx* function) override;

private:
    ~TrellanProxy() override = default;

    Platform::ComPtr<ITrellan> target;
    Platform::ThreadCall call;
};
