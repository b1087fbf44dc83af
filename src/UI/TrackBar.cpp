#include "UI/TrackBar.h"

#include "Platform/Gdi/BackBuffer.h"
#include "Platform/Gdi/Gdi.h"
#include "Platform/Win/Input.h"
#include "Platform/Win/Painting.h"
#include "UI/UiDrawing.h"

#include <algorithm>
#include <cstdlib>

using namespace Platform;

namespace {

const wchar_t* const kClass = L"ZivoroTrackBar";

} // namespace

TrackBar::~TrackBar()
{
    if (IsWindow(hwnd))
        DestroyWindow(hwnd);
}

HWND TrackBar::CreateWindowAt(HWND parentWindow, const RECT& rect, std::uint32_t style)
{
    RegisterClassOnce(kClass, nullptr);
    const bool defaultRect = rect.left == CW_USEDEFAULT;
    hwnd = CreateWindowExW(0, kClass, L"", style, rect.left, defaultRect ? CW_USEDEFAULT : rect.top,
                           defaultRect ? 0 : rect.right - rect.left, defaultRect ? 0 : rect.bottom - rect.top,
                           parentWindow, nullptr, nullptr, static_cast<TrackBar*>(this));
    return hwnd;
}

HWND TrackBar::Create(HWND parentWindow)
{
    return CreateWindowAt(parentWindow, RECT{CW_USEDEFAULT, 0, 0, 0}, WS_CHILD);
}

HWND TrackBar::Create(HWND parentWindow, RECT rect)
{
    bounds = rect;
    bounds.bottom = bounds.top + 15;
    const HWND window = CreateWindowAt(parentWindow, bounds, WS_CHILD | WS_VISIBLE);
    bounds = RECT{0, 0, rect.right, 15};
    return window;
}

void TrackBar::SetVisible(int value)
{
    visible = value;
    ShowWindow(hwnd, value ? SW_SHOW : SW_HIDE);
}

void TrackBar::SetRange(int low, int high)
{
    minimum = low;
    maximum = high;
}

void TrackBar::SetValue(int value)
{
    if (Span() == 0) {
        thumbX = 0;
        InvalidateRect(hwnd, nullptr, FALSE);
        return;
    }
    const float share = static_cast<float>(value - minimum) / static_cast<float>(Span());
    thumbX = static_cast<int>(share * static_cast<float>(bounds.right - thumbWidth - bounds.left));
    InvalidateRect(hwnd, nullptr, FALSE);
}

int TrackBar::ValueAt(int x) const
{
    const int track = (bounds.right - bounds.left) - thumbWidth;
    return track > 0 ? Span() * x / track + minimum : minimum;
}

void TrackBar::UpdateLayout()
{
    const int value = ValueAt(thumbX);
    const RECT placed = ComputeBounds();
    MoveWindow(hwnd, placed.left, placed.top, placed.right - placed.left, placed.bottom - placed.top, TRUE);
    bounds = RECT{0, 0, placed.right - placed.left, placed.bottom - placed.top};
    SetValue(value);
}

bool TrackBar::ProcessWindowMessage(HWND, UINT message, WPARAM, LPARAM lParam, LRESULT& result)
{
    result = 0;
    switch (message) {
    case WM_SIZE:
        bounds = RECT{0, 0, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        return true;
    case WM_PAINT:
        Paint();
        return true;
    case WM_ERASEBKGND:
        result = 1;
        return true;
    case WM_SETCURSOR:
        return true;
    case WM_LBUTTONDOWN:
        dragMouseX = GET_X_LPARAM(lParam);
        dragThumbX = thumbX;
        SetCapture(hwnd);
        dragging = 1;
        return true;
    case WM_MOUSEMOVE:
        if (dragging)
            DragTo(GET_X_LPARAM(lParam));
        return true;
    case WM_LBUTTONUP:
        dragging = 0;
        dragThumbX = thumbX;
        ReleaseCapture();
        return true;
    case WM_MOUSELEAVE:
        OnMouseLeave();
        return true;
    default:
        return false;
    }
}

void TrackBar::DragTo(int mouseX)
{
    const int x = mouseX + dragThumbX - dragMouseX;
    thumbX = x < bounds.left ? 0 : std::min(x, bounds.right - thumbWidth);
    InvalidateRect(hwnd, nullptr, FALSE);
    valueChanged(ValueAt(thumbX));
}

void TrackBar::Paint()
{
    PAINTSTRUCT paint;
    HDC target = BeginPaint(hwnd, &paint);
    {
        BackBuffer buffer(target, RECT{0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top});
        DrawTrack(buffer.Dc());
        DrawThumb(buffer.Dc());
        buffer.Present();
    }
    EndPaint(hwnd, &paint);
}

void TrackBar::FillBackground(HDC dc)
{
    const COLORREF old = SetBkColor(dc, 0xE4D4C6);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &bounds, L"", 0, nullptr);
    SetBkColor(dc, old);
}

void TrackBar::DrawTrack(HDC dc)
{
    FillBackground(dc);
    PaintBox(dc, trackColor, trackBorderColor, RECT{bounds.left, bounds.top + 2, bounds.right, bounds.bottom - 2});
}

void TrackBar::DrawThumb(HDC dc)
{
    PaintBox(dc, thumbColor, thumbBorderColor, RECT{thumbX, bounds.top, thumbX + thumbWidth, bounds.bottom});
}

void ExtTrackBar::DrawTrack(HDC dc)
{
    FillBackground(dc);
    const RECT outer{bounds.left, bounds.top + 4, bounds.right, bounds.bottom - 4};
    PaintBox(dc, 0xD2D6D9, 0x989BA2, outer);
    PaintBox(dc, 0xD2D6D9, 0xCCC7BE, RECT{outer.left + 1, outer.top + 1, outer.right - 1, outer.bottom - 1});
}

void ExtTrackBar::DrawThumb(HDC dc)
{
    PaintBox(dc, 0xFFFBEC, 0xE6B08D, RECT{thumbX, bounds.top, thumbX + thumbWidth, bounds.bottom});
}
