#include "Platform/Win/CaptureLoop.h"

#include "Platform/Win/Input.h"
#include "Platform/Win/MessageLoop.h"
#include "Platform/Win/Window.h"

namespace Platform {

CaptureEnd RunCaptureLoop(HWND window, const std::function<void(POINT)>& moved)
{
    SetCapture(window);
    MSG message;
    for (;;) {
        if (!IsWindow(window) || GetCapture() != window)
            return CaptureEnd::Cancelled;
        if (!GetMessageW(&message, nullptr, 0, 0)) {
            PostQuitMessage(static_cast<int>(message.wParam));
            ReleaseCapture();
            return CaptureEnd::Cancelled;
        }
        if (message.hwnd == window && message.message == WM_MOUSEMOVE) {
            POINT cursor;
            GetCursorPos(&cursor);
            moved(cursor);
        } else if (message.hwnd == window && message.message == WM_LBUTTONUP) {
            ReleaseCapture();
            return CaptureEnd::Released;
        } else if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE) {
            ReleaseCapture();
            return CaptureEnd::Cancelled;
        } else {
            DispatchMessageW(&message);
        }
    }
}

} // namespace Platform
