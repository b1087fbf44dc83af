#pragma once
// The screen behind the window system. Every backend implements this interface;
// nothing above the platform layer knows which one runs.

#include "Platform/Win/Waiter.h"
#include "Platform/Win/WinTypes.h"

#include <memory>
#include <string>

namespace Platform {

class Backend {
public:
    virtual ~Backend() = default;
    virtual std::unique_ptr<Waiter> CreateWaiter() = 0;
    // A system message box; returns the id of the button that closed it.
    virtual int ShowMessageBox(const std::wstring& text, const std::wstring& caption, UINT type) = 0;
};

// The backend in use. The headless backend runs until a container installs another,
// which it must do before its first window is created.
Backend& CurrentBackend();
void InstallBackend(std::unique_ptr<Backend> backend);

} // namespace Platform
