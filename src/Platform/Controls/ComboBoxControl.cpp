#include "Platform/Controls/ComboBoxControl.h"

#include "Platform/Controls/ComboListPopup.h"
#include "Platform/Controls/ControlMessages.h"
#include "Platform/Controls/WindowStates.h"
#include "Platform/Gdi/Gdi.h"
#include "Platform/Gdi/ScopedDcState.h"
#include "Platform/Win/Input.h"
#include "Platform/Win/MessageLoop.h"
#include "Platform/Win/Painting.h"
#include "Platform/Win/Window.h"

#include <algorithm>

namespace Platform {
namespace {

constexpr int kButtonWidth = 17;
constexpr COLORREF kBorderColor = 0xA0A0A0;
constexpr COLORREF kArrowColor = 0x404040;

WindowStates<ComboBoxControl>& States()
{
    static WindowStates<ComboBoxControl> states;
    return states;
}

} // namespace

void ComboBoxControl::Register()
{
    WNDCLASSW windowClass;
    windowClass.lpfnWndProc = &Procedure;
    windowClass.lpszClassName = ClassName;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    RegisterClassW(&windowClass);
    ComboListPopup::Register();
}

LRESULT ComboBoxControl::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return States().Dispatch(window, message, wParam, lParam);
}

ComboBoxControl::ComboBoxControl(HWND window)
    : window(window), font(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)))
{
}

LRESULT ComboBoxControl::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case CB_ADDSTRING:
        return AddString(reinterpret_cast<const wchar_t*>(lParam));
    case CB_GETCOUNT:
        return static_cast<LRESULT>(items.size());
    case CB_GETCURSEL:
        return selection;
    case CB_SETCURSEL:
        return SetSelection(static_cast<int>(static_cast<INT_PTR>(wParam)));
    case CB_GETLBTEXTLEN:
        return wParam < items.size() ? static_cast<LRESULT>(items[wParam].size()) : CB_ERR;
    case CB_GETLBTEXT:
        if (wParam >= items.size() || !lParam)
            return CB_ERR;
        std::copy(items[wParam].begin(), items[wParam].end(), reinterpret_cast<wchar_t*>(lParam));
        reinterpret_cast<wchar_t*>(lParam)[items[wParam].size()] = L'\0';
        return static_cast<LRESULT>(items[wParam].size());
    case CB_RESETCONTENT:
        CloseList();
        items.clear();
        selection = -1;
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case CB_SETMINVISIBLE:
        if (static_cast<int>(wParam) < 1)
            return FALSE;
        minVisible = static_cast<int>(wParam);
        return TRUE;
    case CB_GETMINVISIBLE:
        return minVisible;
    case CB_SHOWDROPDOWN:
        if (wParam)
            OpenList();
        else
            CloseList();
        return TRUE;
    case CB_GETDROPPEDSTATE:
        return list ? TRUE : FALSE;
    case WM_SETFONT:
    case WM_GETFONT:
        return FontMessage(window, message, wParam, lParam, font);
    case WM_LBUTTONDOWN:
        if (GetFocus() != window)
            SetFocus(window);
        if (list)
            CloseList();
        else
            OpenList();
        return 0;
    case WM_KEYDOWN:
        OnKey(static_cast<UINT>(wParam));
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | (list ? DLGC_WANTALLKEYS : 0);
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        if (message == WM_KILLFOCUS)
            CloseList();
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_NCCALCSIZE:
    case WM_NCPAINT:
        // WS_VSCROLL belongs to the drop-down list: the box itself has no frame.
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        Paint();
        return 0;
    case WM_SIZE:
        KeepFieldHeight(HIWORD(static_cast<std::uintptr_t>(lParam)));
        return 0;
    case WM_DESTROY:
        CloseList();
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

int ComboBoxControl::AddString(const wchar_t* item)
{
    if (!item)
        return static_cast<int>(CB_ERR);
    items.emplace_back(item);
    return static_cast<int>(items.size()) - 1;
}

LRESULT ComboBoxControl::SetSelection(int index)
{
    const bool valid = index >= 0 && index < static_cast<int>(items.size());
    selection = valid ? index : -1;
    InvalidateRect(window, nullptr, FALSE);
    return valid ? index : CB_ERR;
}

// A user's choice: the selection changes and the parent hears of it.
void ComboBoxControl::Choose(int index)
{
    if (index < 0 || index >= static_cast<int>(items.size()))
        return;
    const bool changed = index != selection;
    SetSelection(index);
    if (changed)
        NotifyParent(window, CBN_SELCHANGE);
}

void ComboBoxControl::OpenList()
{
    if (list || items.empty())
        return;
    NotifyParent(window, CBN_DROPDOWN);
    hot = selection;
    list = ComboListPopup::Open(*this, std::min(minVisible, static_cast<int>(items.size())));
}

void ComboBoxControl::CloseList()
{
    if (!list)
        return;
    const HWND closing = list;
    list = nullptr;
    DestroyWindow(closing);
    NotifyParent(window, CBN_CLOSEUP);
}

bool ComboBoxControl::OnKey(UINT key)
{
    const int last = static_cast<int>(items.size()) - 1;
    switch (key) {
    case VK_UP:
    case VK_DOWN: {
        const int step = key == VK_UP ? -1 : 1;
        if (list) {
            hot = std::clamp(hot + step, 0, last);
            InvalidateRect(list, nullptr, FALSE);
        } else {
            Choose(std::clamp(selection + step, 0, last));
        }
        return true;
    }
    case VK_RETURN:
        if (list) {
            const int chosen = hot;
            CloseList();
            Choose(chosen);
        }
        return true;
    case VK_ESCAPE:
        CloseList();
        return true;
    default:
        return false;
    }
}

// A drop-down list's window is as high as its selection field; the height its owner
// asks for is the room of the list, which opens below the field.
void ComboBoxControl::KeepFieldHeight(int height)
{
    const int field = ItemHeight() + 4;
    if (height == field)
        return;
    RECT rect;
    GetClientRect(window, &rect);
    SetWindowPos(window, nullptr, 0, 0, rect.right, field, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int ComboBoxControl::ItemHeight() const
{
    HDC dc = GetDC(window);
    HGDIOBJ previous = SelectObject(dc, font);
    TEXTMETRICW metrics;
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, previous);
    ReleaseDC(window, dc);
    return metrics.tmHeight + 4;
}

void ComboBoxControl::Paint()
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    ScopedDcState saved(dc);
    RECT client;
    GetClientRect(window, &client);
    FillColor(dc, client, RGB(255, 255, 255));
    HBRUSH border = CreateSolidBrush(kBorderColor);
    FrameRect(dc, &client, border);
    DeleteObject(border);
    const RECT button{client.right - kButtonWidth, client.top + 1, client.right - 1, client.bottom - 1};
    FillColor(dc, button, 0xF0F0F0);
    const int cx = (button.left + button.right) / 2, cy = (button.top + button.bottom) / 2;
    for (int i = 0; i < 4; ++i)
        FillColor(dc, RECT{cx - 3 + i, cy - 1 + i, cx + 4 - i, cy + i}, kArrowColor);
    if (selection >= 0) {
        SelectObject(dc, font);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(0, 0, 0));
        RECT text{client.left + 3, client.top, button.left - 1, client.bottom};
        DrawTextW(dc, items[static_cast<std::size_t>(selection)].c_str(), -1, &text,
                  DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    }
    EndPaint(window, &paint);
}

} // namespace Platform
