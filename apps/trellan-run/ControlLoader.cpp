#include "ControlLoader.h"

#include "Platform/Com/ClassFactory.h"
#include "Platform/Com/DocumentSite.h"
#include "Platform/Com/ObjectSafety.h"
#include "Platform/Com/GuidText.h"
#include "Platform/Com/Registry.h"
#include "Platform/Text/TextConv.h"

#include <filesystem>

using namespace Platform;

namespace {

// The default value of a key in the classes view, or nothing.
std::optional<std::wstring> ClassesText(const std::wstring& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::nullopt;
    DWORD type = REG_NONE, size = 0;
    std::optional<std::wstring> text;
    if (RegQueryValueExW(key, nullptr, nullptr, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_SZ &&
        size >= sizeof(wchar_t)) {
        std::wstring value(size / sizeof(wchar_t), L'\0');
        if (RegQueryValueExW(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(value.data()), &size) ==
            ERROR_SUCCESS) {
            value.resize(value.find(L'\0'));
            text = std::move(value);
        }
    }
    RegCloseKey(key);
    return text;
}

std::string Narrow(const std::wstring& text)
{
    return WideToUtf8(text);
}

} // namespace

ControlLoader::~ControlLoader()
{
    Close();
}

std::string ControlLoader::FindModule(std::string& error) const
{
    const std::wstring progId = ProgId;
    const std::optional<std::wstring> clsidText = ClassesText(progId + L"\\CLSID");
    if (!clsidText || !ParseGuid(*clsidText)) {
        error = Narrow(progId) + " is not registered in the registry store (register the module with "
                                 "trellan-regsvr, or pass --module PATH)";
        return {};
    }
    const std::optional<std::wstring> path = ClassesText(L"CLSID\\" + *clsidText + L"\\InprocServer32");
    if (!path || path->empty()) {
        error = "the class " + Narrow(*clsidText) + " of " + Narrow(progId) + " names no module";
        return {};
    }
    return Narrow(*path);
}

bool ControlLoader::Load(const std::string& modulePath, std::string& error)
{
    const std::string path = modulePath.empty() ? FindModule(error) : modulePath;
    if (path.empty())
        return false;
    // A bare file name would be searched for on the library path; a module is a file.
    const std::string file = std::filesystem::absolute(path).string();
    if (!module.Open(file.c_str())) {
        error = "cannot load the module " + file;
        return false;
    }
    return true;
}

bool ControlLoader::Activate(HWND container, const RECT& rect, const std::string& pageOrigin, std::string& error)
{
    DllGetClassObjectFunction getClassObject = nullptr;
    if (!module.Bind("DllGetClassObject", getClassObject)) {
        error = "the module exports no DllGetClassObject";
        return false;
    }
    ComPtr<IClassFactory> factory;
    if (FAILED(getClassObject(CLSID_Trellan, IID_IClassFactory, reinterpret_cast<void**>(factory.Put()))) ||
        FAILED(factory->CreateInstance(nullptr, IID_ITrellan, reinterpret_cast<void**>(control.Put()))) ||
        FAILED(control->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(oleObject.Put())))) {
        error = "the module's class factory did not create the control";
        return false;
    }
    if (!pageOrigin.empty() && !MarkUntrusted(pageOrigin)) {
        error = "the control cannot be made safe for an untrusted caller";
        return false;
    }
    ComPtr<IOleWindow> oleWindow;
    if (FAILED(oleObject->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, container, &rect)) ||
        FAILED(control->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(oleWindow.Put()))) ||
        FAILED(oleWindow->GetWindow(&window))) {
        error = "the control could not be activated in place";
        return false;
    }
    return true;
}

// As a browser does for a page's script: safety for an untrusted caller on IDispatch,
// and a site that gives the page's address.
bool ControlLoader::MarkUntrusted(const std::string& pageOrigin)
{
    ComPtr<IObjectSafety> safety;
    ComPtr<IObjectWithSite> withSite;
    if (FAILED(control->QueryInterface(IID_IObjectSafety, reinterpret_cast<void**>(safety.Put()))) ||
        FAILED(safety->SetInterfaceSafetyOptions(IID_IDispatch, INTERFACESAFE_FOR_UNTRUSTED_CALLER,
                                                 INTERFACESAFE_FOR_UNTRUSTED_CALLER)) ||
        FAILED(control->QueryInterface(IID_IObjectWithSite, reinterpret_cast<void**>(withSite.Put()))))
        return false;
    DocumentSite* site = DocumentSite::Create(pageOrigin);
    const HRESULT hr = withSite->SetSite(site);
    site->Release();
    return SUCCEEDED(hr);
}

void ControlLoader::Close()
{
    ComPtr<IObjectWithSite> withSite;
    if (control && SUCCEEDED(control->QueryInterface(IID_IObjectWithSite, reinterpret_cast<void**>(withSite.Put()))))
        withSite->SetSite(nullptr);
    if (oleObject)
        oleObject->Close(OLECLOSE_NOSAVE);
    window = nullptr;
    oleObject = ComPtr<IOleObject>();
    control = ComPtr<ITrellan>();
}
