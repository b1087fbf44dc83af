#pragma once
// The page's function as trellan-run plays it: every text it receives is written to
// standard output (after its label, when it has one) and its event name is noted so
// that the script can wait for it.

#include "Platform/Com/Unknown.h"

#include <atomic>
#include <deque>
#include <string>

class PageFunction final : public Platform::IDispatchEx {
public:
    // Names of received events that no wait has consumed yet; shared by all functions.
    using EventLog = std::deque<std::string>;

    PageFunction(std::string label, EventLog& events);

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
    ~PageFunction() = default;

    std::string label;
    EventLog& events;
    std::atomic<Platform::ULONG> references{1};
};
