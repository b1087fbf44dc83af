#include "Platform/Win/CaptureLoop.h"

#include "Platform/Win/Input.h"
#include "Platform/Win/MessageLoop.h"
#include "Platform/Win/Timer.h"
#include "Platform/Win/Window.h"

namespace Platform {
namespace {

// The loop's own timer on the captured window; its WM_TIMER never reaches the window.
constexpr UINT_PTR kRepeatTimer = 0xC0FFEE01;

// Runs the repeat's timer for the life of the loop: the delay first, then the period.
class RepeatTimer {
public:
    RepeatTimer(HWND window, const CaptureRepeat* repeat) : window(window), repeat(repeat)
    {
        if (repeat)
            SetTimer(window, kRepeatTimer, repeat->delayMs, nullptr);
    }
    ~RepeatTimer()
    {
        if (repeat)
            KillTimer(window, kRepeatTimer);
    }
    RepeatTimer(const RepeatTimer&) = delete;
    RepeatTimer& operator=(const RepeatTimer&) = delete;

    bool Owns(const MSG& message) const
    {
        return repeat && message.hwnd == window && message.message == WM_TIMER && message.wParam == kRepeatTimer;
    }
    void Fire()
    {
        if (!steady) {
            SetTimer(window, kRepeatTimer, repeat->periodMs, nullptr);
            steady = true;
        }
        repeat->step();
    }

private:
    HWND window;
    const CaptureRepeat* repeat;
    bool steady = false;
};

bool IsMouseMessage(UINT message)
{
    return message >= WM_MOUSEMOVE && message <= WM_MOUSEWHEEL;
}

bool IsKeyMessage(UINT message)
{
    return message >= WM_KEYDOWN && message <= WM_CHAR;
}

} // namespace

CaptureEnd RunCaptureLoop(HWND window, const std::function<CaptureStep(const MSG&)>& input, const CaptureRepeat* repeat)
{
    SetCapture(window);
    RepeatTimer timer(window, repeat);
    MSG message;
    for (;;) {
        if (!IsWindow(window) || GetCapture() != window)
            return CaptureEnd::Cancelled;
        if (!GetMessageW(&message, nullptr, 0, 0)) {
            PostQuitMessage(static_cast<int>(message.wParam));
            ReleaseCapture();
            return CaptureEnd::Cancelled;
        }
        if (timer.Owns(message)) {
            timer.Fire();
            continue;
        }
        const bool offered =
            (message.hwnd == window && IsMouseMessage(message.message)) || IsKeyMessage(message.message);
        switch (offered ? input(message) : CaptureStep::Dispatch) {
        case CaptureStep::Continue:
            break;
        case CaptureStep::Dispatch:
            DispatchMessageW(&message);
            break;
        case CaptureStep::Release:
            ReleaseCapture();
            return CaptureEnd::Released;
        case CaptureStep::Cancel:
            ReleaseCapture();
            return CaptureEnd::Cancelled;
        }
    }
}

CaptureEnd RunCaptureLoop(HWND window, const std::function<void(POINT)>& moved, const CaptureRepeat* repeat)
{
    return RunCaptureLoop(
        window,
        [&](const MSG& message) {
            if (message.message == WM_MOUSEMOVE) {
                POINT cursor;
                GetCursorPos(&cursor);
                moved(cursor);
                return CaptureStep::Continue;
            }
            if (message.message == WM_LBUTTONUP)
                return CaptureStep::Release;
            if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE)
                return CaptureStep::Cancel;
            return CaptureStep::Dispatch;
        },
        repeat);
}

} // namespace Platform
