#include "Control/TrellanModule.h"

#include "Control/TrellanTypeLib.h"
#include "Platform/Com/Registrar.h"
#include "Platform/Resources/ResourceTable.h"
#include "Platform/Text/TextConv.h"

#include <dlfcn.h>

#include <atomic>
#include <filesystem>

using namespace Platform;

namespace {

std::atomic<long> locks{0};

constexpr unsigned kModuleScript = 101;
constexpr unsigned kClassScript = 103;
const wchar_t* const kAppId = L"{257A45DC-F360-4450-A7E6-F469453AC639}";

std::wstring Script(unsigned id)
{
    const ResourceEntry* resource = FindEmbeddedResource("REGISTRY", id);
    if (!resource)
        return {};
    return Utf8ToWide(std::string_view(reinterpret_cast<const char*>(resource->bytes.data()), resource->bytes.size()));
}

Registrar ModuleRegistrar(const std::wstring& modulePath)
{
    Registrar registrar;
    registrar.AddReplacement(L"MODULE", modulePath);
    registrar.AddReplacement(L"APPID", kAppId);
    registrar.AddReplacement(L"OLEMISC", L"131473");
    return registrar;
}

using Step = HRESULT (*)(const Registrar& registrar, const std::wstring& modulePath, RegistryKey& classes);

// Runs step on the hive's classes and stores the result only when it succeeds.
HRESULT ChangeClasses(RegistryHive hive, Step step)
{
    const std::wstring modulePath = TrellanModule::Path();
    if (modulePath.empty())
        return E_UNEXPECTED;
    const Registrar registrar = ModuleRegistrar(modulePath);
    HRESULT result = S_OK;
    const LSTATUS stored = RegistryStore::Update(hive, [&](RegistryKey& root) {
        result = step(registrar, modulePath, *root.Create(RegistryStore::ClassesPath));
        return SUCCEEDED(result);
    });
    return FAILED(result) ? result : HRESULT_FROM_WIN32(stored);
}

using ScriptAction = HRESULT (Registrar::*)(std::wstring_view script, RegistryKey& classes) const;

// Applies the module script, then the class script; the first failure ends it.
HRESULT RunScripts(const Registrar& registrar, ScriptAction action, RegistryKey& classes)
{
    for (unsigned id : {kModuleScript, kClassScript}) {
        const std::wstring script = Script(id);
        if (script.empty())
            return E_UNEXPECTED;
        const HRESULT hr = (registrar.*action)(script, classes);
        if (FAILED(hr))
            return hr;
    }
    return S_OK;
}

HRESULT RegisterStep(const Registrar& registrar, const std::wstring& modulePath, RegistryKey& classes)
{
    ITypeLib* library = TrellanTypeLib();
    if (!library)
        return TYPE_E_CANTLOADLIBRARY;
    const HRESULT hr = RunScripts(registrar, &Registrar::Register, classes);
    return FAILED(hr) ? hr : RegisterTypeLib(library, modulePath, classes);
}

HRESULT UnregisterStep(const Registrar& registrar, const std::wstring&, RegistryKey& classes)
{
    ITypeLib* library = TrellanTypeLib();
    if (!library)
        return TYPE_E_CANTLOADLIBRARY;
    const HRESULT hr = RunScripts(registrar, &Registrar::Unregister, classes);
    return FAILED(hr) ? hr : UnRegisterTypeLib(library, classes);
}

} // namespace

void TrellanModule::Lock()
{
    ++locks;
}

void TrellanModule::Unlock()
{
    --locks;
}

long TrellanModule::LockCount()
{
    return locks;
}

std::wstring TrellanModule::Path()
{
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&TrellanModule::Path), &info) || !info.dli_fname)
        return {};
    std::error_code error;
    const std::filesystem::path path = std::filesystem::canonical(info.dli_fname, error);
    return error ? std::wstring() : Utf8ToWide(path.string());
}

HRESULT TrellanModule::Register(RegistryHive hive)
{
    return ChangeClasses(hive, &RegisterStep);
}

HRESULT TrellanModule::Unregister(RegistryHive hive)
{
    return ChangeClasses(hive, &UnregisterStep);
}
