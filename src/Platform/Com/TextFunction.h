#pragma once
// A page's script function as a container plays it: an IDispatchEx whose default
// method takes one string, which reaches Receive as UTF-8. Containers derive from it
// to say what receiving a text means to them.

#include "Platform/Com/Unknown.h"

#include <atomic>
#include <string>

namespace Platform {

class TextFunction : public IDispatchEx {
public:
    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT GetIDsOfNames(const char16_t* const* names, UINT count, LCID lcid, DISPID* ids) override;
    HRESULT Invoke(DISPID id, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                   UINT* argError) override;
    HRESULT InvokeEx(DISPID id, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                     IServiceProvider* caller) override;

protected:
    // Made with one reference, which its creator releases.
    TextFunction() = default;
    virtual ~TextFunction() = default;
    virtual void Receive(const std::string& text) = 0;

private:
    std::atomic<ULONG> references{1};
};

} // namespace Platform
