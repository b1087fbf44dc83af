#include "Platform/Ole/DragDrop.h"

#include "Platform/Ole/DragSession.h"
#include "Platform/Win/CaptureLoop.h"
#include "Platform/Win/Input.h"
#include "Platform/Win/Window.h"

namespace Platform {
namespace {

constexpr const wchar_t* kCaptureClass = L"TrellanDragCapture";

// A hidden window that holds the mouse for the length of a drag, so the pointer's
// moves and the button's release come to the drag wherever they happen.
HWND CreateCaptureWindow()
{
    static const bool registered = [] {
        WNDCLASSW windowClass;
        windowClass.lpfnWndProc = &DefWindowProcW;
        windowClass.lpszClassName = kCaptureClass;
        return RegisterClassW(&windowClass) != 0;
    }();
    if (!registered)
        return nullptr;
    return CreateWindowExW(0, kCaptureClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
}

bool IsEscapeDown(const MSG& message)
{
    return (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE) || GetKeyState(VK_ESCAPE) < 0;
}

// Every mouse message and key change is a step; characters are swallowed.
HRESULT RunSession(DragSession& session)
{
    HRESULT outcome = session.Step(GetKeyState(VK_ESCAPE) < 0);
    if (outcome != S_OK)
        return outcome;
    const HWND capture = CreateCaptureWindow();
    if (!capture)
        return DRAGDROP_S_CANCEL;
    RunCaptureLoop(capture, [&](const MSG& message) {
        if (message.message == WM_CHAR)
            return CaptureStep::Continue;
        outcome = session.Step(IsEscapeDown(message));
        if (outcome == S_OK)
            return CaptureStep::Continue;
        return outcome == DRAGDROP_S_DROP ? CaptureStep::Release : CaptureStep::Cancel;
    });
    DestroyWindow(capture);
    // The loop also ends when the capture is taken away or the thread is asked to quit.
    return outcome == S_OK ? DRAGDROP_S_CANCEL : outcome;
}

} // namespace

HRESULT DoDragDrop(IDataObject* data, IDropSource* source, DWORD allowedEffects, DWORD* effect)
{
    if (!data || !source || !effect)
        return E_INVALIDARG;
    DragSession session(data, source, allowedEffects);
    return session.Finish(RunSession(session), effect);
}

} // namespace Platform
