#pragma once
// The control's dispatch interface: the page sends commands with postMessage and
// stores its function in recvMessage; FireRecvMessage hands a text to that function.

#include "Platform/Com/TypeLib.h"

#include <atomic>

// {6C55F8EF-78B6-4260-B2FC-FE094890C1A3}
constexpr Platform::IID IID_ITrellan = {0x6C55F8EF, 0x78B6, 0x4260, {0xB2, 0xFC, 0xFE, 0x09, 0x48, 0x90, 0xC1, 0xA3}};
// {DF3775A4-90EF-4965-B751-D48698F3949F}
constexpr Platform::CLSID CLSID_Trellan = {
    0xDF3775A4, 0x90EF, 0x4965, {0xB7, 0x51, 0xD4, 0x86, 0x98, 0xF3, 0x94, 0x9F}};

constexpr Platform::DISPID DISPID_postMessage = 1;
constexpr Platform::DISPID DISPID_FireRecvMessage = 2;
constexpr Platform::DISPID DISPID_recvMessage = 3;

class ITrellan : public Platform::IDispatch {
public:
    virtual Platform::HRESULT postMessage(Platform::BSTR newVal) = 0;
    virtual Platform::HRESULT FireRecvMessage(Platform::BSTR json) = 0;
    virtual Platform::HRESULT put_recvMessage(Platform::IDispatchEx* function) = 0;

protected:
    ~ITrellan() = default;
};

// What the control and its cross-thread proxy share: reference counting, the
// interfaces they answer for, and late-bound calls, which the type library's
// description of ITrellan maps and checks before they reach the three members.
class TrellanDispatch : public ITrellan, public Platform::IMemberCall {
public:
    Platform::HRESULT QueryInterface(Platform::REFIID iid, void** object) override;
    Platform::ULONG AddRef() override;
    // Deletes the object when the last reference goes.
    Platform::ULONG Release() override;
    Platform::HRESULT GetIDsOfNames(const char16_t* const* names, Platform::UINT count, Platform::LCID lcid,
                                    Platform::DISPID* ids) override;
    Platform::HRESULT Invoke(Platform::DISPID id, Platform::LCID lcid, Platform::WORD flags,
                             Platform::DISPPARAMS* params, Platform::VARIANT* result, Platform::EXCEPINFO* exception,
                             Platform::UINT* argError) override;
    Platform::HRESULT CallMember(Platform::UINT slot, Platform::VARIANT* arguments) override;

protected:
    virtual ~TrellanDispatch() = default;

private:
    std::atomic<Platform::ULONG> references{1};
};
