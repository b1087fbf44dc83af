#pragma once
// IObjectSafety: how a control tells its container that it is safe for scripting.

#include "Platform/Com/Unknown.h"

namespace Platform {

// {CB5BDC81-93C1-11CF-8F20-00805F2CD064}
constexpr IID IID_IObjectSafety = {0xCB5BDC81, 0x93C1, 0x11CF, {0x8F, 0x20, 0x00, 0x80, 0x5F, 0x2C, 0xD0, 0x64}};

constexpr DWORD INTERFACESAFE_FOR_UNTRUSTED_CALLER = 0x1;
constexpr DWORD INTERFACESAFE_FOR_UNTRUSTED_DATA = 0x2;

class IObjectSafety : public IUnknown {
public:
    virtual HRESULT GetInterfaceSafetyOptions(REFIID iid, DWORD* supported, DWORD* enabled) = 0;
    virtual HRESULT SetInterfaceSafetyOptions(REFIID iid, DWORD mask, DWORD enabled) = 0;

protected:
    ~IObjectSafety() = default;
};

} // namespace Platform
