#include "Platform/Win/Dialog.h"

#include "Platform/Win/Input.h"
#include "Platform/Win/MessageLoop.h"
#include "Platform/Win/Window.h"
#include "Platform/Win/WindowTree.h"

#include <mutex>

namespace Platform {
namespace {

constexpr const wchar_t* kDialogClass = L"#32770";

struct DialogCreation {
    DLGPROC procedure = nullptr;
};

// Messages whose result is the dialog procedure's own return value.
bool ReturnsDirectly(UINT message)
{
    return message == WM_INITDIALOG || (message >= WM_CTLCOLOREDIT && message <= WM_CTLCOLORSTATIC) ||
           message == WM_VKEYTOITEM || message == WM_CHARTOITEM || message == WM_COMPAREITEM;
}

LRESULT DialogWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto object = FindWindowObject(window);
    if (message == WM_NCCREATE && object) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        object->dialog = std::make_unique<DialogState>();
        object->userData = 0;
        object->dialog->procedure = static_cast<const DialogCreation*>(create->lpCreateParams)->procedure;
    }
    DLGPROC procedure = object && object->dialog ? object->dialog->procedure : nullptr;
    if (procedure) {
        object->dialog->messageResult = 0;
        const INT_PTR handled = procedure(window, message, wParam, lParam);
        if (ReturnsDirectly(message))
            return handled;
        if (handled)
            return object->dialog ? object->dialog->messageResult : 0;
    }
    return DefDlgProcW(window, message, wParam, lParam);
}

void RegisterDialogClass()
{
    static std::once_flag registered;
    std::call_once(registered, [] {
        WNDCLASSW windowClass;
        windowClass.lpfnWndProc = &DialogWindowProc;
        windowClass.lpszClassName = kDialogClass;
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        RegisterClassW(&windowClass);
    });
}

bool Ended(HWND dialog)
{
    auto window = FindWindowObject(dialog);
    return !window || !window->dialog || window->dialog->ended;
}

// Enter and Esc become IDOK and IDCANCEL unless the window they are meant for wants them.
bool HandleDialogKey(HWND dialog, const MSG& message)
{
    const bool keyDown = message.message == WM_KEYDOWN && (message.wParam == VK_RETURN || message.wParam == VK_ESCAPE);
    const bool keyChar = message.message == WM_CHAR && (message.wParam == L'\r' || message.wParam == 27);
    if (!(keyDown || keyChar) || (message.hwnd != dialog && !IsChild(dialog, message.hwnd)))
        return false;
    const LRESULT wants = SendMessageW(message.hwnd, WM_GETDLGCODE, message.wParam, reinterpret_cast<LPARAM>(&message));
    if (wants & DLGC_WANTALLKEYS)
        return false;
    if (keyDown)
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(message.wParam == VK_RETURN ? IDOK : IDCANCEL, 0), 0);
    return true;
}

INT_PTR RunModalLoop(HWND dialog)
{
    MSG message;
    while (!Ended(dialog)) {
        if (!GetMessageW(&message, nullptr, 0, 0)) {
            // Leave the quit request for the outer loop.
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (!HandleDialogKey(dialog, message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    auto window = FindWindowObject(dialog);
    return window && window->dialog && window->dialog->ended ? window->dialog->result : IDCANCEL;
}

} // namespace

INT_PTR DialogBoxIndirectParamW(HINSTANCE instance, const DialogTemplate* dialogTemplate, HWND owner, DLGPROC procedure,
                                LPARAM initParam)
{
    if (!dialogTemplate || !procedure)
        return -1;
    RegisterDialogClass();
    DialogCreation creation{procedure};
    const DWORD style = (dialogTemplate->style & ~(WS_VISIBLE | WS_CHILD)) | WS_POPUP;
    const HWND dialog =
        CreateWindowExW(dialogTemplate->exStyle, kDialogClass, dialogTemplate->title.c_str(), style,
                        dialogTemplate->x * 6 / 4, dialogTemplate->y * 13 / 8, dialogTemplate->cx * 6 / 4,
                        dialogTemplate->cy * 13 / 8, owner, nullptr, instance, &creation);
    if (!dialog)
        return -1;
    // A press cannot go on under a modal dialog: whichever window holds the mouse loses it.
    if (GetCapture())
        ReleaseCapture();
    const bool disableOwner = owner && IsWindowEnabled(owner);
    if (disableOwner)
        EnableWindow(owner, FALSE);
    if (SendMessageW(dialog, WM_INITDIALOG, 0, initParam))
        SetFocus(dialog);
    if (!Ended(dialog))
        ShowWindow(dialog, SW_SHOW);
    const INT_PTR result = RunModalLoop(dialog);
    if (disableOwner)
        EnableWindow(owner, TRUE);
    if (owner && IsWindow(owner))
        SetActiveWindow(owner);
    DestroyWindow(dialog);
    return result;
}

BOOL EndDialog(HWND dialog, INT_PTR result)
{
    auto window = OwnedWindow(dialog);
    if (!window || !window->dialog)
        return FALSE;
    window->dialog->ended = true;
    window->dialog->result = result;
    // Wakes the modal loop if it is waiting.
    PostMessageW(dialog, WM_NULL, 0, 0);
    return TRUE;
}

LRESULT DefDlgProcW(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE:
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
        return 0;
    case WM_INITDIALOG:
        return TRUE;
    case WM_GETDLGCODE:
        return 0;
    default:
        return DefWindowProcW(dialog, message, wParam, lParam);
    }
}

} // namespace Platform
