#pragma once
// Routing of a top-level form's window messages to its control tree: the press
// captures the mouse and the control that took it gets the moves and the release;
// leave tracking is requested on the first move; a press that no control takes may
// start a window drag through the hook. When the capture is lost before the release
// (another window takes it, a modal dialog opens), the press ends without a click
// and the drag stops, so later moves go to whatever is under the pointer.

#include "Platform/Win/WinTypes.h"

class ControlBase;

namespace Zivoro::UI {

class FormHost {
public:
    // The form's window drag (FormDrager of the form).
    class DragHook {
    public:
        virtual ~DragHook() = default;
        // A press no control took; false when dragging is not enabled.
        virtual bool BeginDrag(Platform::POINT pt) = 0;
        virtual bool IsDragging() const = 0;
        virtual void DragTo(Platform::POINT pt) = 0;
        virtual void EndDrag() = 0;
    };

    explicit FormHost(ControlBase& root, DragHook* drag = nullptr);

    // WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_LBUTTONUP, WM_MOUSELEAVE and WM_CAPTURECHANGED;
    // false for others.
    bool RouteMouse(Platform::HWND window, Platform::UINT message, Platform::WPARAM wParam, Platform::LPARAM lParam);
    // The root's bounds become (0, 0, width, height) and its children are laid out.
    void Resize(int width, int height);
    // Forgets control and every control under it: the press they hold is dropped.
    void Forget(ControlBase* control);

    ControlBase* Captured() const { return captured; }
    bool TrackingRequested() const { return tracking != 0; }

private:
    void LoseCapture();

    ControlBase& root;
    DragHook* drag;
    std::int32_t tracking = 0;
    ControlBase* captured = nullptr;
};

// The control window's routing: left-button and move messages with keys = 1, no
// capture, handled and target ignored. A move asks for leave tracking, and the leave
// takes the hover off every control: the pointer went into a child window (the list)
// or out of the control, and no face may stay lit after it.
class ControlWindowMouse {
public:
    explicit ControlWindowMouse(ControlBase& root) : root(root) {}
    // WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_LBUTTONUP and WM_MOUSELEAVE; false for others.
    bool Route(Platform::HWND window, Platform::UINT message, Platform::LPARAM lParam);

private:
    ControlBase& root;
    // The window whose leave was asked for; null once it came.
    Platform::HWND tracked = nullptr;
};

} // namespace Zivoro::UI
