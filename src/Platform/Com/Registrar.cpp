#include "Platform/Com/Registrar.h"

#include "Platform/Com/RegistrarScript.h"

namespace Platform {

namespace {

void RegisterKey(RegistryKey& parent, const ScriptKey& script)
{
    if (script.removal == ScriptKey::Removal::ForceRemove)
        parent.DeleteTree(script.name);
    RegistryKey& key = *parent.Create(script.name);
    if (script.defaultValue)
        key.SetValue(L"", *script.defaultValue);
    for (const auto& [name, value] : script.values)
        key.SetValue(name, value);
    for (const ScriptKey& subkey : script.subkeys)
        RegisterKey(key, subkey);
}

void UnregisterKey(RegistryKey& parent, const ScriptKey& script)
{
    RegistryKey* key = parent.Find(script.name);
    if (!key)
        return;
    if (script.removal == ScriptKey::Removal::ForceRemove) {
        parent.DeleteTree(script.name);
        return;
    }
    for (const ScriptKey& subkey : script.subkeys)
        UnregisterKey(*key, subkey);
    if (script.removal == ScriptKey::Removal::NoRemove)
        return;
    if (script.defaultValue)
        key->DeleteValue(L"");
    for (const auto& value : script.values)
        key->DeleteValue(value.first);
    if (key->Empty())
        parent.DeleteTree(script.name);
}

} // namespace

void Registrar::AddReplacement(std::wstring name, std::wstring value)
{
    replacements[std::move(name)] = std::move(value);
}

HRESULT Registrar::Register(std::wstring_view script, RegistryKey& classes) const
{
    const auto keys = ReadRegistrarScript(script, replacements);
    if (!keys)
        return DISP_E_EXCEPTION;
    for (const ScriptKey& key : *keys)
        RegisterKey(classes, key);
    return S_OK;
}

HRESULT Registrar::Unregister(std::wstring_view script, RegistryKey& classes) const
{
    const auto keys = ReadRegistrarScript(script, replacements);
    if (!keys)
        return DISP_E_EXCEPTION;
    for (const ScriptKey& key : *keys)
        UnregisterKey(classes, key);
    return S_OK;
}

} // namespace Platform
