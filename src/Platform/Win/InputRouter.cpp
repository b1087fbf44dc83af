#include "Platform/Win/InputRouter.h"

#include "Platform/Win/Clock.h"
#include "Platform/Win/DroppedFiles.h"
#include "Platform/Win/Input.h"
#include "Platform/Win/InputState.h"
#include "Platform/Win/MessageLoop.h"
#include "Platform/Win/Screen.h"
#include "Platform/Win/ThreadState.h"
#include "Platform/Win/Window.h"
#include "Platform/Win/WindowTree.h"

#include <cstdlib>

namespace Platform {
namespace {

using Kind = RawInput::Kind;

bool Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return PostMessageW(window, message, wParam, lParam);
}

bool AcceptsMouse(HWND handle)
{
    for (auto window = FindWindowObject(handle); window; window = FindWindowObject(window->parent))
        if (window->style & WS_DISABLED)
            return false;
    return handle != nullptr;
}

LPARAM ClientPoint(HWND window, POINT screen)
{
    ScreenToClient(window, &screen);
    return MAKELPARAM(screen.x, screen.y);
}

void EndTrackingIfLeft(HWND target, int hit)
{
    MouseTracking& tracking = ThreadState::Current().tracking;
    if (!tracking.window || (tracking.window == target && hit == HTCLIENT))
        return;
    if (tracking.flags & TME_LEAVE)
        Post(tracking.window, WM_MOUSELEAVE, 0, 0);
    tracking = MouseTracking{};
}

// WM_LBUTTONDBLCLK instead of a second press close in time and place, for classes that ask.
bool IsDoubleClick(HWND target, UINT message, POINT screen, std::uint64_t now)
{
    LastClick& last = ThreadState::Current().lastClick;
    const bool repeat = last.window == target && last.message == message && now - last.time <= GetDoubleClickTime() &&
                        std::abs(screen.x - last.screen.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
                        std::abs(screen.y - last.screen.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
    auto window = FindWindowObject(target);
    const bool wanted = window && window->windowClass && (window->windowClass->style & CS_DBLCLKS);
    if (repeat && wanted) {
        last = LastClick{};
        return true;
    }
    last = LastClick{target, message, now, screen};
    return false;
}

// Activates the target's top-level window unless the target declines
// (WM_MOUSEACTIVATE); false when the click is to be dropped.
bool ActivateFor(HWND target, int hit, UINT message)
{
    auto top = TopLevelOf(FindWindowObject(target));
    if (!top || GetActiveWindow() == top->handle)
        return true;
    const LRESULT answer =
        SendMessageW(target, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top->handle), MAKELPARAM(hit, message));
    if (answer != MA_NOACTIVATE && answer != MA_NOACTIVATEANDEAT && IsWindow(top->handle))
        SetActiveWindow(top->handle);
    return answer != MA_NOACTIVATEANDEAT;
}

void RouteButton(HWND target, int hit, const RawInput& input)
{
    const bool left = input.kind == Kind::LeftDown || input.kind == Kind::LeftUp;
    const bool down = input.kind == Kind::LeftDown || input.kind == Kind::RightDown;
    UINT message = left ? (down ? WM_LBUTTONDOWN : WM_LBUTTONUP) : (down ? WM_RBUTTONDOWN : WM_RBUTTONUP);
    if (down) {
        if (!ActivateFor(target, hit, message) || !IsWindow(target))
            return;
        SendMessageW(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target), MAKELPARAM(hit, message));
        if (left && IsDoubleClick(target, message, input.screen, input.time))
            message = WM_LBUTTONDBLCLK;
    }
    if (hit == HTCLIENT)
        Post(target, message, InputState::Instance().MouseKeyFlags(), ClientPoint(target, input.screen));
    else
        Post(target, message - WM_LBUTTONDOWN + WM_NCLBUTTONDOWN, static_cast<WPARAM>(hit),
             MAKELPARAM(input.screen.x, input.screen.y));
}

void RouteMouse(const RawInput& input)
{
    InputState& state = InputState::Instance();
    state.cursor = input.screen;
    if (input.kind == Kind::LeftDown || input.kind == Kind::LeftUp)
        state.keyDown[VK_LBUTTON] = input.kind == Kind::LeftDown;
    if (input.kind == Kind::RightDown || input.kind == Kind::RightUp)
        state.keyDown[VK_RBUTTON] = input.kind == Kind::RightDown;

    const HWND capture = GetCapture();
    const HWND target = capture ? capture : WindowFromPoint(input.screen);
    const int hit =
        capture || !target
            ? HTCLIENT
            : static_cast<int>(SendMessageW(target, WM_NCHITTEST, 0, MAKELPARAM(input.screen.x, input.screen.y)));
    EndTrackingIfLeft(target, hit);
    if (!AcceptsMouse(target))
        return;
    if (input.kind == Kind::Wheel) {
        Post(target, WM_MOUSEWHEEL, MAKEWPARAM(static_cast<int>(state.MouseKeyFlags()), input.wheelDelta),
             MAKELPARAM(input.screen.x, input.screen.y));
        return;
    }
    if (input.kind != Kind::MouseMove) {
        RouteButton(target, hit, input);
        return;
    }
    if (!capture)
        SendMessageW(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target), MAKELPARAM(hit, WM_MOUSEMOVE));
    MouseTracking& tracking = ThreadState::Current().tracking;
    if (tracking.window == target)
        tracking.hoverDue = GetTickCount64() + tracking.hoverTime;
    if (hit == HTCLIENT)
        Post(target, WM_MOUSEMOVE, state.MouseKeyFlags(), ClientPoint(target, input.screen));
    else
        Post(target, WM_NCMOUSEMOVE, static_cast<WPARAM>(hit), MAKELPARAM(input.screen.x, input.screen.y));
}

// The character a key gives, or 0.
wchar_t CharacterFor(UINT key)
{
    const InputState& state = InputState::Instance();
    if (key >= 'A' && key <= 'Z') {
        if (state.keyDown[VK_CONTROL])
            return static_cast<wchar_t>(key - 'A' + 1);
        return static_cast<wchar_t>(state.keyDown[VK_SHIFT] ? key : key - 'A' + 'a');
    }
    if (key >= '0' && key <= '9' && !state.keyDown[VK_CONTROL])
        return static_cast<wchar_t>(key);
    switch (key) {
    case VK_SPACE:
        return L' ';
    case VK_RETURN:
        return L'\r';
    case VK_BACK:
        return 8;
    case VK_ESCAPE:
        return 27;
    case VK_TAB:
        return L'\t';
    default:
        return 0;
    }
}

void SetKey(UINT key, bool down)
{
    InputState& state = InputState::Instance();
    state.keyDown[key & 0xFF] = down;
    if (key == VK_LSHIFT || key == VK_RSHIFT)
        state.keyDown[VK_SHIFT] = down;
    if (key == VK_LCONTROL || key == VK_RCONTROL)
        state.keyDown[VK_CONTROL] = down;
    if (key == VK_CONTROL)
        state.keyDown[VK_LCONTROL] = down;
    if (key == VK_SHIFT)
        state.keyDown[VK_LSHIFT] = down;
}

HWND KeyboardTarget()
{
    const HWND focus = GetFocus();
    return focus ? focus : GetActiveWindow();
}

void RouteKey(const RawInput& input)
{
    const bool down = input.kind == Kind::KeyDown;
    const UINT key = input.virtualKey & 0xFF;
    SetKey(key, down);
    const HWND target = KeyboardTarget();
    if (!target || !IsWindowEnabled(target))
        return;
    Post(target, down ? WM_KEYDOWN : WM_KEYUP, key, down ? 1 : static_cast<LPARAM>(0xC0000001u));
    if (const wchar_t character = down ? CharacterFor(key) : 0)
        Post(target, WM_CHAR, character, 1);
}

void LoseFocus()
{
    if (const HWND capture = GetCapture())
        ReleaseCapture();
    InputState::Instance().keyDown.fill(false);
    SetFocus(nullptr);
}

} // namespace

void RouteInput(const RawInput& input)
{
    switch (input.kind) {
    case Kind::KeyDown:
    case Kind::KeyUp:
        RouteKey(input);
        break;
    case Kind::Character:
        if (const HWND target = KeyboardTarget())
            Post(target, WM_CHAR, input.character, 1);
        break;
    case Kind::FocusLoss:
        LoseFocus();
        break;
    case Kind::FilesDropped:
        DeliverDroppedFiles(input.paths, input.screen, input.keyState);
        break;
    default:
        RouteMouse(input);
        break;
    }
}

bool NextHoverMessage(MSG& out, bool remove)
{
    MouseTracking& tracking = ThreadState::Current().tracking;
    if (!(tracking.flags & TME_HOVER) || GetTickCount64() < tracking.hoverDue || !IsWindow(tracking.window))
        return false;
    out = MSG{};
    out.hwnd = tracking.window;
    out.message = WM_MOUSEHOVER;
    out.wParam = InputState::Instance().MouseKeyFlags();
    out.lParam = ClientPoint(tracking.window, InputState::Instance().cursor);
    out.time = GetTickCount();
    if (remove)
        tracking.flags &= ~TME_HOVER;
    return true;
}

std::int64_t MillisecondsUntilHover()
{
    const MouseTracking& tracking = ThreadState::Current().tracking;
    if (!(tracking.flags & TME_HOVER))
        return -1;
    const std::uint64_t now = GetTickCount64();
    return tracking.hoverDue > now ? static_cast<std::int64_t>(tracking.hoverDue - now) : 0;
}

} // namespace Platform
