#pragma once
// The screen behind the window system. Every backend implements this interface;
// nothing above the platform layer knows which one runs.
//
// The window system tells the backend about top-level windows (created, moved,
// shown, painted, destroyed) on the thread that owns them. Input goes the other way
// through the Inject functions, from any thread: it is queued for the thread that
// owns the windows and routed (capture, focus, hit-testing) when that thread's loop
// takes it, as a system input queue does.

#include "Platform/Win/RawInput.h"
#include "Platform/Win/Waiter.h"
#include "Platform/Win/WinTypes.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace Platform {

class MessageQueue;
class Surface;

class Backend {
public:
    virtual ~Backend() = default;
    virtual std::unique_ptr<Waiter> CreateWaiter() = 0;
    // A system message box; returns the id of the button that closed it.
    virtual int ShowMessageBox(const std::wstring& text, const std::wstring& caption, UINT type) = 0;

    virtual RECT ScreenRect() const = 0;
    virtual RECT WorkArea() const = 0;
    // Device pixels per logical pixel of the screen: top-level surfaces are made at it.
    virtual double DeviceScale() const { return 1.0; }

    // A top-level window appeared, changed place, size, visibility or surface, or went away.
    virtual void WindowChanged(HWND window, const RECT& screenRect, bool visible, std::shared_ptr<Surface> surface) = 0;
    virtual void WindowDestroyed(HWND window) = 0;
    // Pixels of the window's surface in dirty (its device pixels) are new.
    virtual void Present(HWND window, const RECT& dirty) = 0;
    virtual void SetCursor(HCURSOR cursor) = 0;
    // The size a top-level window (null: one being created) gets when it asks for
    // wanted. A backend whose screen has limits makes it smaller.
    virtual SIZE FitTopLevel(HWND, SIZE wanted) { return wanted; }

    // Writes one top-level window's pixels, or the part of them in area (logical
    // surface coordinates), as a PNG file in device pixels.
    virtual bool Screenshot(HWND window, const std::string& path, const RECT* area = nullptr) const = 0;
    // Composes every visible top-level window on the screen, back to front, at the
    // screen's device scale.
    virtual bool ScreenshotAll(const std::string& path) const = 0;

    // Input, from any thread. Points are on the screen.
    enum class MouseAction { Move, LeftDown, LeftUp, RightDown, RightUp };
    void InjectMouse(MouseAction action, POINT screen);
    void InjectWheel(int delta, POINT screen);
    void InjectKey(UINT virtualKey, bool down);
    // Committed text (an input method's result): one WM_CHAR per character.
    void InjectText(const std::wstring& text);
    void InjectFocusLoss();
    // Files dropped from outside the process at a point, with the modifier keys (MK_CONTROL,
    // MK_SHIFT) the user held; they reach the drop target registered under the point.
    void InjectFileDrop(const std::vector<std::wstring>& paths, POINT screen, DWORD keyState);

    // The thread whose loop receives input: the one that created the first top-level window.
    void SetInputQueue(const std::shared_ptr<MessageQueue>& queue);

private:
    void Inject(const RawInput& input);

    std::mutex inputLock;
    std::weak_ptr<MessageQueue> inputQueue;
};

// The backend in use. The headless backend runs until a container installs another,
// which it must do before its first window is created.
Backend& CurrentBackend();
void InstallBackend(std::unique_ptr<Backend> backend);

} // namespace Platform
