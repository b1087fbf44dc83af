#pragma once
// Modal dialogs: a popup from a template, WM_INITDIALOG, a nested loop that keeps
// painting and delivering posted messages, Enter and Esc as WM_COMMAND IDOK/IDCANCEL,
// the owner disabled and the mouse capture ended while the dialog runs.

#include "Platform/Win/WinTypes.h"

#include <string>

namespace Platform {

using DLGPROC = INT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

// Sizes are in dialog units of the template's font: 4 horizontal units are 6 pixels,
// 8 vertical units 13 pixels.
struct DialogTemplate {
    DWORD style = WS_POPUP | WS_SYSMENU;
    DWORD exStyle = 0;
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
    std::wstring title;
};

// The dialog procedure answers TRUE for messages it handled (the result, where one
// matters, goes in DWLP_MSGRESULT) and FALSE for default handling. Returns the value
// given to EndDialog, or -1 when the dialog could not be created.
INT_PTR DialogBoxIndirectParamW(HINSTANCE instance, const DialogTemplate* dialogTemplate, HWND owner, DLGPROC procedure,
                                LPARAM initParam);
BOOL EndDialog(HWND dialog, INT_PTR result);
// What a dialog window does with messages its procedure leaves alone.
LRESULT DefDlgProcW(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace Platform
