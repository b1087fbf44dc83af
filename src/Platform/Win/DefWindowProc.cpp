#include "Platform/Win/Window.h"

#include "Platform/Gdi/Gdi.h"
#include "Platform/Win/Input.h"
#include "Platform/Win/MessageLoop.h"
#include "Platform/Win/Painting.h"
#include "Platform/Win/ScrollBarFrame.h"
#include "Platform/Win/SizingLoop.h"
#include "Platform/Win/WindowTree.h"

#include <algorithm>
#include <cstring>

namespace Platform {
namespace {

LRESULT HitTest(HWND handle, LPARAM lParam)
{
    auto window = FindWindowObject(handle);
    if (!window)
        return HTNOWHERE;
    const POINT screen{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    const POINT client = ClientOrigin(*window);
    const RECT area = ClientArea(*window);
    if (PtInRect(&area, POINT{screen.x - client.x, screen.y - client.y}))
        return HTCLIENT;
    const int bar = HitTestScrollBars(handle, screen);
    return bar != HTNOWHERE ? bar : HTBORDER;
}

const wchar_t* SizingCursor(int hit)
{
    switch (hit) {
    case HTLEFT:
    case HTRIGHT:
        return IDC_SIZEWE;
    case HTTOP:
    case HTBOTTOM:
        return IDC_SIZENS;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT:
        return IDC_SIZENWSE;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT:
        return IDC_SIZENESW;
    default:
        return IDC_ARROW;
    }
}

LRESULT SetCursorFor(HWND handle, WPARAM wParam, LPARAM lParam)
{
    if (const HWND parent = (GetWindowStyle(handle) & WS_CHILD) ? GetParent(handle) : nullptr)
        if (SendMessageW(parent, WM_SETCURSOR, wParam, lParam))
            return TRUE;
    const int hit = static_cast<std::int16_t>(LOWORD(static_cast<std::uintptr_t>(lParam)));
    auto window = FindWindowObject(handle);
    if (hit == HTCLIENT && window && window->windowClass && window->windowClass->cursor)
        SetCursor(window->windowClass->cursor);
    else
        SetCursor(LoadCursorW(nullptr, SizingCursor(hit)));
    return TRUE;
}

LRESULT EraseBackground(HWND handle, HDC dc)
{
    auto window = FindWindowObject(handle);
    if (!window || !window->windowClass || !window->windowClass->background)
        return 0;
    RECT client;
    GetClientRect(handle, &client);
    FillRect(dc, &client, window->windowClass->background);
    return 1;
}

LRESULT CopyText(HWND handle, WPARAM capacity, LPARAM buffer)
{
    auto window = FindWindowObject(handle);
    auto* out = reinterpret_cast<wchar_t*>(buffer);
    if (!window || !out || capacity == 0)
        return 0;
    const std::size_t count = std::min<std::size_t>(window->text.size(), capacity - 1);
    std::copy_n(window->text.begin(), count, out);
    out[count] = L'\0';
    return static_cast<LRESULT>(count);
}

void PaintDefault(HWND handle)
{
    PAINTSTRUCT paint;
    BeginPaint(handle, &paint);
    EndPaint(handle, &paint);
}

} // namespace

LRESULT DefWindowProcW(HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCCREATE:
        return TRUE;
    case WM_NCCALCSIZE:
        if (auto window = FindWindowObject(handle); window && lParam)
            ReserveScrollBars(window->style, reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0]);
        return 0;
    case WM_NCHITTEST:
        return HitTest(handle, lParam);
    case WM_NCPAINT:
        PaintScrollBars(handle);
        return 0;
    case WM_NCLBUTTONDOWN:
        if (wParam == HTVSCROLL || wParam == HTHSCROLL)
            TrackScrollBar(handle, static_cast<int>(wParam), POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        else if (wParam >= HTLEFT && wParam <= HTBOTTOMRIGHT)
            SendMessageW(handle, WM_SYSCOMMAND, SizeCommandFor(wParam), lParam);
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_SIZE)
            RunSizingLoop(handle, wParam & 0x000F);
        return 0;
    case WM_SETCURSOR:
        return SetCursorFor(handle, wParam, lParam);
    case WM_MOUSEWHEEL:
        if (const HWND parent = (GetWindowStyle(handle) & WS_CHILD) ? GetParent(handle) : nullptr)
            return SendMessageW(parent, message, wParam, lParam);
        return 0;
    case WM_MOUSEACTIVATE:
        // A child asks its parent first; the answer is to activate.
        if (const HWND parent = (GetWindowStyle(handle) & WS_CHILD) ? GetParent(handle) : nullptr)
            if (const LRESULT answer = SendMessageW(parent, message, wParam, lParam))
                return answer;
        return 1;
    case WM_CLOSE:
        DestroyWindow(handle);
        return 0;
    case WM_ERASEBKGND:
        return EraseBackground(handle, reinterpret_cast<HDC>(wParam));
    case WM_PAINT:
        PaintDefault(handle);
        return 0;
    case WM_SETTEXT:
        if (auto window = OwnedWindow(handle)) {
            window->text = lParam ? reinterpret_cast<const wchar_t*>(lParam) : L"";
            return TRUE;
        }
        return FALSE;
    case WM_GETTEXT:
        return CopyText(handle, wParam, lParam);
    case WM_GETTEXTLENGTH:
        if (auto window = FindWindowObject(handle))
            return static_cast<LRESULT>(window->text.size());
        return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    default:
        return 0;
    }
}

} // namespace Platform
