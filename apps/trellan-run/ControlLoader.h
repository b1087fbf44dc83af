#pragma once
// Creates the control the way a browser does: its ProgID gives the class id in the
// registry store's classes, the class id gives the module, and the module's class
// factory makes the control, which is then activated in place in a container window.
// A module path given directly skips the store.

#include "Control/ITrellan.h"
#include "Platform/Com/OleObject.h"
#include "Platform/Module/SharedLibrary.h"

#include <string>

class ControlLoader {
public:
    static constexpr const wchar_t* ProgId = L"Zivoro.Trellan64";

    ~ControlLoader();

    // Finds the module through the store, or takes modulePath when it is not empty.
    // False with the reason in error.
    bool Load(const std::string& modulePath, std::string& error);
    // Creates the control and activates it in place over rect in container. With a
    // page origin the control is told, before anything else, that its caller is a
    // page's script (an untrusted caller) and which origin the page has.
    bool Activate(Platform::HWND container, const Platform::RECT& rect, const std::string& pageOrigin,
                  std::string& error);
    // Deactivates and releases the control.
    void Close();

    ITrellan& Control() const { return *control.Get(); }
    Platform::HWND Window() const { return window; }

private:
    std::string FindModule(std::string& error) const;
    bool MarkUntrusted(const std::string& pageOrigin);

    Platform::SharedLibrary module;
    Platform::ComPtr<ITrellan> control;
    Platform::ComPtr<Platform::IOleObject> oleObject;
    Platform::HWND window = nullptr;
};
