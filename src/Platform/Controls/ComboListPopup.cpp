#include "Platform/Controls/ComboListPopup.h"

#include "Platform/Controls/ComboBoxControl.h"
#include "Platform/Gdi/Gdi.h"
#include "Platform/Gdi/ScopedDcState.h"
#include "Platform/Win/Input.h"
#include "Platform/Win/Painting.h"
#include "Platform/Win/Region.h"
#include "Platform/Win/Window.h"

namespace Platform {
namespace {

constexpr COLORREF kHotColor = 0xD77800;

} // namespace

void ComboListPopup::Register()
{
    WNDCLASSW windowClass;
    windowClass.lpfnWndProc = &Procedure;
    windowClass.lpszClassName = ClassName;
    RegisterClassW(&windowClass);
}

HWND ComboListPopup::Open(ComboBoxControl& combo, int visibleItems)
{
    RECT box;
    GetWindowRect(combo.window, &box);
    const int height = visibleItems * combo.ItemHeight() + 2;
    const HWND list = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, ClassName, L"", WS_POPUP, box.left, box.bottom,
                                      box.right - box.left, height, combo.window, nullptr, nullptr, &combo);
    if (!list)
        return nullptr;
    ShowWindow(list, SW_SHOWNOACTIVATE);
    SetCapture(list);
    return list;
}

int ComboListPopup::ItemAt(HWND window, const ComboBoxControl& combo, POINT point)
{
    RECT client;
    GetClientRect(window, &client);
    if (!PtInRect(&client, point))
        return -1;
    const int index = (point.y - 1) / combo.ItemHeight();
    return index < static_cast<int>(combo.items.size()) ? index : -1;
}

LRESULT ComboListPopup::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams));
    auto* combo = reinterpret_cast<ComboBoxControl*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!combo || combo->list != window)
        return DefWindowProcW(window, message, wParam, lParam);
    const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
    case WM_MOUSEMOVE:
        if (const int index = ItemAt(window, *combo, point); index >= 0 && index != combo->hot) {
            combo->hot = index;
            InvalidateRect(window, nullptr, FALSE);
        }
        return 0;
    case WM_LBUTTONDOWN:
        if (ItemAt(window, *combo, point) < 0)
            combo->CloseList();
        return 0;
    case WM_LBUTTONUP:
        if (const int index = ItemAt(window, *combo, point); index >= 0) {
            combo->CloseList();
            combo->Choose(index);
        }
        return 0;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != window)
            combo->CloseList();
        return 0;
    case WM_MOUSEACTIVATE:
        // The list never takes activation or the focus away from its box.
        return MA_NOACTIVATE;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        Paint(window, *combo);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

void ComboListPopup::Paint(HWND window, const ComboBoxControl& combo)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    ScopedDcState saved(dc);
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    FrameRect(dc, &client, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    SelectObject(dc, combo.font);
    SetBkMode(dc, TRANSPARENT);
    const int height = combo.ItemHeight();
    HBRUSH hot = CreateSolidBrush(kHotColor);
    for (int i = 0; i < static_cast<int>(combo.items.size()); ++i) {
        RECT row{client.left + 1, client.top + 1 + i * height, client.right - 1, client.top + 1 + (i + 1) * height};
        if (i == combo.hot)
            FillRect(dc, &row, hot);
        SetTextColor(dc, i == combo.hot ? RGB(255, 255, 255) : RGB(0, 0, 0));
        row.left += 3;
        DrawTextW(dc, combo.items[static_cast<std::size_t>(i)].c_str(), -1, &row,
                  DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    }
    DeleteObject(hot);
    EndPaint(window, &paint);
}

} // namespace Platform
