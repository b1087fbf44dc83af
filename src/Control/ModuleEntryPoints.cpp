// The entry points the module exports with C linkage, as an in-process component
// server does: its class object, whether it may be unloaded, and its registration.

#include "Control/ITrellan.h"
#include "Control/TrellanClassFactory.h"
#include "Control/TrellanModule.h"

#include <cwctype>
#include <string_view>

using namespace Platform;

#define TRELLAN_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

bool IsUser(const wchar_t* commandLine)
{
    const std::wstring_view text = commandLine ? commandLine : L"";
    constexpr std::wstring_view user = L"user";
    if (text.size() != user.size())
        return false;
    for (std::size_t i = 0; i < user.size(); ++i) {
        if (wchar_t(std::towlower(text[i])) != user[i])
            return false;
    }
    return true;
}

} // namespace

TRELLAN_EXPORT HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (!(clsid == CLSID_Trellan))
        return CLASS_E_CLASSNOTAVAILABLE;
    auto* factory = new TrellanClassFactory();
    const HRESULT hr = factory->QueryInterface(iid, object);
    factory->Release();
    return hr;
}

TRELLAN_EXPORT HRESULT DllCanUnloadNow()
{
    return TrellanModule::LockCount() == 0 ? S_OK : S_FALSE;
}

TRELLAN_EXPORT HRESULT DllRegisterServer()
{
    return TrellanModule::Register(RegistryHive::Machine);
}

TRELLAN_EXPORT HRESULT DllUnregisterServer()
{
    return TrellanModule::Unregister(RegistryHive::Machine);
}

// A registration that fails stores nothing, so nothing is unregistered after it: that
// would take away a registration that was there before the call.
TRELLAN_EXPORT HRESULT DllInstall(int install, const wchar_t* commandLine)
{
    const RegistryHive hive = IsUser(commandLine) ? RegistryHive::User : RegistryHive::Machine;
    return install ? TrellanModule::Register(hive) : TrellanModule::Unregister(hive);
}
