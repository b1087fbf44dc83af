#include "Platform/Win/Input.h"

#include "Platform/Win/Backend.h"
#include "Platform/Win/Clock.h"
#include "Platform/Win/InputState.h"
#include "Platform/Win/MessageLoop.h"
#include "Platform/Win/ThreadState.h"
#include "Platform/Win/Window.h"
#include "Platform/Win/WindowTree.h"

namespace Platform {
namespace {

constexpr DWORD kDefaultHoverTime = 400;

HWND Activate(HWND handle, bool takeFocus);

HWND ChildFromPoint(const std::shared_ptr<WindowObject>& window, POINT screen)
{
    const POINT client = ClientOrigin(*window);
    const POINT local{screen.x - client.x, screen.y - client.y};
    for (auto it = window->children.rbegin(); it != window->children.rend(); ++it) {
        auto child = FindWindowObject(*it);
        if (child && (child->style & WS_VISIBLE) && PtInRect(&child->rect, local))
            return ChildFromPoint(child, screen);
    }
    return window->handle;
}

// Makes a top-level window active; with takeFocus, the focus moves into it when it
// is elsewhere.
HWND Activate(HWND handle, bool takeFocus)
{
    ThreadState& state = ThreadState::Current();
    auto window = handle ? OwnedWindow(handle) : nullptr;
    if (handle && (!window || window->parent))
        return nullptr;
    const HWND old = state.active;
    if (old == handle)
        return old;
    state.active = handle;
    if (handle)
        WindowTable::Instance().BringToFront(handle, false);
    if (old && IsWindow(old))
        SendMessageW(old, WM_ACTIVATE, 0, reinterpret_cast<LPARAM>(handle));
    if (handle)
        SendMessageW(handle, WM_ACTIVATE, 1, reinterpret_cast<LPARAM>(old));
    if (takeFocus && state.active == handle && (!handle || (state.focus != handle && !IsChild(handle, state.focus))))
        SetFocus(handle);
    return old;
}

} // namespace

InputState& InputState::Instance()
{
    static InputState state;
    return state;
}

WPARAM InputState::MouseKeyFlags() const
{
    WPARAM flags = 0;
    if (keyDown[VK_LBUTTON])
        flags |= MK_LBUTTON;
    if (keyDown[VK_RBUTTON])
        flags |= MK_RBUTTON;
    if (keyDown[VK_SHIFT])
        flags |= MK_SHIFT;
    if (keyDown[VK_CONTROL])
        flags |= MK_CONTROL;
    return flags;
}

HWND SetFocus(HWND handle)
{
    ThreadState& state = ThreadState::Current();
    if (handle && (!OwnedWindow(handle) || !IsWindowEnabled(handle)))
        return nullptr;
    const HWND old = state.focus;
    if (old == handle)
        return old;
    if (handle)
        if (auto top = TopLevelOf(FindWindowObject(handle)); top && state.active != top->handle)
            Activate(top->handle, false);
    state.focus = handle;
    if (old && IsWindow(old))
        SendMessageW(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(handle), 0);
    if (handle && state.focus == handle)
        SendMessageW(handle, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    return old;
}

HWND GetFocus()
{
    return ThreadState::Current().focus;
}

HWND SetActiveWindow(HWND handle)
{
    return Activate(handle, true);
}

HWND GetActiveWindow()
{
    return ThreadState::Current().active;
}

HWND SetCapture(HWND handle)
{
    ThreadState& state = ThreadState::Current();
    if (!OwnedWindow(handle))
        return nullptr;
    const HWND old = state.capture;
    state.capture = handle;
    if (old && old != handle)
        SendMessageW(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(handle));
    return old;
}

BOOL ReleaseCapture()
{
    ThreadState& state = ThreadState::Current();
    const HWND old = state.capture;
    state.capture = nullptr;
    if (old)
        SendMessageW(old, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND GetCapture()
{
    return ThreadState::Current().capture;
}

BOOL TrackMouseEvent(TRACKMOUSEEVENT* request)
{
    if (!request)
        return FALSE;
    ThreadState& state = ThreadState::Current();
    if (request->dwFlags & TME_CANCEL) {
        if (state.tracking.window == request->hwndTrack)
            state.tracking.flags &= ~request->dwFlags;
        return TRUE;
    }
    if (!OwnedWindow(request->hwndTrack))
        return FALSE;
    const POINT cursor = InputState::Instance().cursor;
    if (WindowFromPoint(cursor) != request->hwndTrack) {
        if (request->dwFlags & TME_LEAVE)
            PostMessageW(request->hwndTrack, WM_MOUSELEAVE, 0, 0);
        return TRUE;
    }
    const DWORD hover = request->dwHoverTime == HOVER_DEFAULT ? kDefaultHoverTime : request->dwHoverTime;
    state.tracking =
        MouseTracking{request->hwndTrack, request->dwFlags & (TME_HOVER | TME_LEAVE), hover, GetTickCount64() + hover};
    return TRUE;
}

std::int16_t GetKeyState(int virtualKey)
{
    if (virtualKey < 0 || virtualKey > 255)
        return 0;
    return InputState::Instance().keyDown[static_cast<std::size_t>(virtualKey)] ? static_cast<std::int16_t>(0x8000) : 0;
}

BOOL GetCursorPos(POINT* point)
{
    if (!point)
        return FALSE;
    *point = InputState::Instance().cursor;
    return TRUE;
}

HWND WindowFromPoint(POINT point)
{
    for (HWND top : WindowTable::Instance().TopLevels()) {
        auto window = FindWindowObject(top);
        if (!window || !(window->style & WS_VISIBLE) || !PtInRect(&window->rect, point))
            continue;
        return ChildFromPoint(window, point);
    }
    return nullptr;
}

UINT GetDoubleClickTime()
{
    return 500;
}

HCURSOR LoadCursorW(HINSTANCE, const wchar_t* name)
{
    return reinterpret_cast<HCURSOR>(const_cast<wchar_t*>(name));
}

HCURSOR SetCursor(HCURSOR cursor)
{
    InputState& input = InputState::Instance();
    const HCURSOR old = input.cursorShape;
    if (old != cursor) {
        input.cursorShape = cursor;
        CurrentBackend().SetCursor(cursor);
    }
    return old;
}

HCURSOR GetCursor()
{
    return InputState::Instance().cursorShape;
}

} // namespace Platform
