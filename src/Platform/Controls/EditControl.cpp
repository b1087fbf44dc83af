#include "Platform/Controls/EditControl.h"

#include "Platform/Controls/ControlMessages.h"
#include "Platform/Controls/WindowStates.h"
#include "Platform/Gdi/Gdi.h"
#include "Platform/Gdi/ScopedDcState.h"
#include "Platform/Win/Input.h"
#include "Platform/Win/MessageLoop.h"
#include "Platform/Win/Painting.h"
#include "Platform/Win/Region.h"
#include "Platform/Win/Window.h"

#include <algorithm>
#include <cwctype>

namespace Platform {
namespace {

constexpr COLORREF kSelectionColor = 0xD77800;
constexpr int kInset = 1;

WindowStates<EditControl>& States()
{
    static WindowStates<EditControl> states;
    return states;
}

bool KeyDown(int key)
{
    return GetKeyState(key) & 0x8000;
}

} // namespace

void EditControl::Register()
{
    WNDCLASSW windowClass;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = &Procedure;
    windowClass.lpszClassName = ClassName;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_IBEAM);
    RegisterClassW(&windowClass);
}

LRESULT EditControl::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return States().Dispatch(window, message, wParam, lParam);
}

EditControl::EditControl(HWND window) : window(window), font(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT))) {}

LRESULT EditControl::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        if (const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam); create && create->lpszName)
            text = create->lpszName;
        return 0;
    case WM_SETTEXT:
        SetText(lParam ? reinterpret_cast<const wchar_t*>(lParam) : L"");
        if (!(GetWindowStyle(window) & ES_MULTILINE))
            NotifyParent(window, EN_CHANGE);
        return TRUE;
    case WM_GETTEXT: {
        auto* out = reinterpret_cast<wchar_t*>(lParam);
        if (!out || wParam == 0)
            return 0;
        const std::size_t count = std::min<std::size_t>(text.size(), wParam - 1);
        std::copy_n(text.begin(), count, out);
        out[count] = L'\0';
        return static_cast<LRESULT>(count);
    }
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(text.size());
    case WM_SETFONT:
    case WM_GETFONT:
        return FontMessage(window, message, wParam, lParam, font);
    case EM_LIMITTEXT:
        limit = wParam == 0 ? 0x7FFFFFFE : wParam;
        return 0;
    case EM_SETSEL:
        SetSelection(static_cast<int>(static_cast<INT_PTR>(wParam)), static_cast<int>(lParam));
        return 0;
    case EM_GETSEL:
        if (wParam)
            *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(SelectionStart());
        if (lParam)
            *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(SelectionEnd());
        return MAKELPARAM(SelectionStart(), SelectionEnd());
    case EM_REPLACESEL:
        if (lParam && Insert(reinterpret_cast<const wchar_t*>(lParam)))
            Changed();
        return 0;
    case EM_SCROLLCARET:
        ScrollToCaret();
        return TRUE;
    case EM_SETRECTNP:
        hasRect = lParam != 0;
        if (hasRect)
            formatRect = *reinterpret_cast<const RECT*>(lParam);
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_CHAR:
        OnChar(static_cast<wchar_t>(wParam));
        return 0;
    case WM_KEYDOWN:
        OnKey(static_cast<UINT>(wParam));
        return 0;
    case WM_LBUTTONDOWN:
        OnPress(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, wParam & MK_SHIFT);
        return 0;
    case WM_LBUTTONDBLCLK:
        SetSelection(0, -1);
        return 0;
    case WM_MOUSEMOVE:
        if (dragging)
            MoveCaret(PositionAt(GET_X_LPARAM(lParam)), true);
        return 0;
    case WM_LBUTTONUP:
        if (dragging) {
            dragging = false;
            ReleaseCapture();
        }
        return 0;
    case WM_SETFOCUS:
        focused = true;
        InvalidateRect(window, nullptr, FALSE);
        NotifyParent(window, EN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        focused = false;
        InvalidateRect(window, nullptr, FALSE);
        NotifyParent(window, EN_KILLFOCUS);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTCHARS | DLGC_WANTARROWS |
               ((GetWindowStyle(window) & (ES_MULTILINE | ES_WANTRETURN)) == (ES_MULTILINE | ES_WANTRETURN)
                    ? DLGC_WANTALLKEYS
                    : 0);
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        Paint();
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

void EditControl::SetText(const std::wstring& value)
{
    text = value;
    caret = anchor = 0;
    scroll = 0;
    InvalidateRect(window, nullptr, FALSE);
}

bool EditControl::Editable() const
{
    return !(GetWindowStyle(window) & ES_READONLY);
}

int EditControl::SelectionStart() const
{
    return std::min(anchor, caret);
}

int EditControl::SelectionEnd() const
{
    return std::max(anchor, caret);
}

void EditControl::DeleteSelection()
{
    const int start = SelectionStart();
    text.erase(static_cast<std::size_t>(start), static_cast<std::size_t>(SelectionEnd() - start));
    caret = anchor = start;
}

// Replaces the selection; the text limit cuts what does not fit. False when nothing changed.
bool EditControl::Insert(const std::wstring& value)
{
    const std::size_t kept = text.size() - static_cast<std::size_t>(SelectionEnd() - SelectionStart());
    const std::size_t room = limit > kept ? limit - kept : 0;
    const std::wstring accepted = value.substr(0, room);
    if (accepted.size() < value.size())
        NotifyParent(window, EN_MAXTEXT);
    if (accepted.empty() && !HasSelection())
        return false;
    DeleteSelection();
    text.insert(static_cast<std::size_t>(caret), accepted);
    caret = anchor = caret + static_cast<int>(accepted.size());
    return true;
}

void EditControl::Changed()
{
    ScrollToCaret();
    InvalidateRect(window, nullptr, FALSE);
    NotifyParent(window, EN_CHANGE);
}

void EditControl::MoveCaret(int position, bool extend)
{
    caret = std::clamp(position, 0, static_cast<int>(text.size()));
    if (!extend)
        anchor = caret;
    ScrollToCaret();
    InvalidateRect(window, nullptr, FALSE);
}

void EditControl::SetSelection(int start, int end)
{
    const int length = static_cast<int>(text.size());
    if (start < 0) {
        anchor = caret;
    } else {
        anchor = std::clamp(start, 0, length);
        caret = end < 0 ? length : std::clamp(end, 0, length);
    }
    InvalidateRect(window, nullptr, FALSE);
}

void EditControl::OnChar(wchar_t character)
{
    if (character == 1) {
        SetSelection(0, -1);
        return;
    }
    if (!Editable())
        return;
    if (character == 8) {
        if (!HasSelection() && caret > 0)
            anchor = caret - 1;
        if (HasSelection()) {
            DeleteSelection();
            Changed();
        }
        return;
    }
    // Control characters (Enter, Esc, Tab and Ctrl combinations) insert nothing.
    if (character < 0x20 || character == 0x7F)
        return;
    if ((GetWindowStyle(window) & ES_NUMBER) && !(character >= L'0' && character <= L'9'))
        return;
    if (Insert(std::wstring(1, character)))
        Changed();
}

bool EditControl::OnKey(UINT key)
{
    const bool extend = KeyDown(VK_SHIFT);
    switch (key) {
    case VK_LEFT:
        MoveCaret(HasSelection() && !extend ? SelectionStart() : caret - 1, extend);
        return true;
    case VK_RIGHT:
        MoveCaret(HasSelection() && !extend ? SelectionEnd() : caret + 1, extend);
        return true;
    case VK_HOME:
        MoveCaret(0, extend);
        return true;
    case VK_END:
        MoveCaret(static_cast<int>(text.size()), extend);
        return true;
    case VK_DELETE:
        if (!Editable())
            return true;
        if (!HasSelection() && caret < static_cast<int>(text.size()))
            anchor = caret + 1;
        if (HasSelection()) {
            DeleteSelection();
            Changed();
        }
        return true;
    default:
        return false;
    }
}

void EditControl::OnPress(POINT point, bool extend)
{
    if (GetFocus() != window)
        SetFocus(window);
    MoveCaret(PositionAt(point.x), extend);
    dragging = true;
    SetCapture(window);
}

RECT EditControl::TextRect() const
{
    if (hasRect)
        return formatRect;
    RECT client;
    GetClientRect(window, &client);
    InflateRect(&client, -kInset, -kInset);
    return client;
}

std::wstring EditControl::Shown() const
{
    if (GetWindowStyle(window) & ES_PASSWORD)
        return std::wstring(text.size(), L'*');
    return text;
}

int EditControl::TextWidth(int count) const
{
    if (count <= 0)
        return 0;
    HDC dc = GetDC(window);
    HGDIOBJ previous = SelectObject(dc, font);
    SIZE size{};
    const std::wstring shown = Shown();
    GetTextExtentPoint32W(dc, shown.c_str(), std::min(count, static_cast<int>(shown.size())), &size);
    SelectObject(dc, previous);
    ReleaseDC(window, dc);
    return size.cx;
}

// The character boundary nearest to a client x.
int EditControl::PositionAt(int x) const
{
    const int target = x - TextRect().left + scroll;
    int best = 0, bestDistance = std::abs(target);
    for (int i = 1; i <= static_cast<int>(text.size()); ++i) {
        const int distance = std::abs(TextWidth(i) - target);
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

void EditControl::ScrollToCaret()
{
    const RECT area = TextRect();
    const int width = std::max(1, static_cast<int>(area.right - area.left) - 1);
    const int x = TextWidth(caret);
    if (x < scroll)
        scroll = x;
    else if (x - scroll > width)
        scroll = x - width;
}

void EditControl::Paint()
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    ScopedDcState saved(dc);
    SelectObject(dc, font);
    const HWND parent = GetParent(window);
    const UINT colorMessage = Editable() ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC;
    auto brush = reinterpret_cast<HBRUSH>(
        parent ? SendMessageW(parent, colorMessage, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(window))
               : 0);
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, brush ? brush : GetSysColorBrush(COLOR_WINDOW));

    const RECT area = TextRect();
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    SetBkMode(dc, TRANSPARENT);
    const std::wstring shown = Shown();
    TEXTMETRICW metrics;
    GetTextMetricsW(dc, &metrics);
    const int left = area.left - scroll, top = area.top;
    TextOutW(dc, left, top, shown.c_str(), static_cast<int>(shown.size()));
    if (focused && HasSelection()) {
        const RECT selected{left + TextWidth(SelectionStart()), top, left + TextWidth(SelectionEnd()),
                            top + metrics.tmHeight};
        SetBkMode(dc, OPAQUE);
        SetBkColor(dc, kSelectionColor);
        SetTextColor(dc, RGB(255, 255, 255));
        ExtTextOutW(dc, selected.left, top, ETO_OPAQUE | ETO_CLIPPED, &selected, shown.c_str() + SelectionStart(),
                    static_cast<UINT>(SelectionEnd() - SelectionStart()), nullptr);
    }
    if (focused) {
        const int x = left + TextWidth(caret);
        const RECT bar{x, top, x + 1, top + metrics.tmHeight};
        FillRect(dc, &bar, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
    EndPaint(window, &paint);
}

} // namespace Platform
