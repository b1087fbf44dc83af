#include "Editor/RectTracker.h"

#include "Platform/Gdi/Gdi.h"
#include "Platform/Gdi/ScopedDcState.h"
#include "Platform/Win/CaptureLoop.h"
#include "Platform/Win/Input.h"
#include "Platform/Win/Painting.h"
#include "Platform/Win/Profile.h"
#include "Platform/Win/Region.h"
#include "Platform/Win/WinConstants.h"
#include "Platform/Win/WindowGeometry.h"

#include <algorithm>
#include <array>
#include <cstdlib>

using namespace Platform;

namespace {

enum class Edge { None, Near, Far };

// The edges a handle moves (x: left or right, y: top or bottom) and where it sits.
struct HandleShape {
    Edge x;
    Edge y;
    bool centredAlongWidth;
    bool centredAlongHeight;
    int shiftX;
    int shiftY;
};

constexpr std::array<HandleShape, 8> kHandles{{
    {Edge::Near, Edge::Near, false, false, 0, 0}, // top-left
    {Edge::Far, Edge::Near, false, false, -1, 0}, // top-right
    {Edge::Far, Edge::Far, false, false, -1, -1}, // bottom-right
    {Edge::Near, Edge::Far, false, false, 0, -1}, // bottom-left
    {Edge::None, Edge::Near, true, false, 0, 0}, // top
    {Edge::Far, Edge::None, false, true, -1, 0}, // right
    {Edge::None, Edge::Far, true, false, 0, -1}, // bottom
    {Edge::Near, Edge::None, false, true, 0, 0}, // left
}};
constexpr std::array<int, 8> kTurnedLeftRight{1, 0, 3, 2, 4, 7, 6, 5};
constexpr std::array<int, 8> kTurnedTopBottom{3, 2, 1, 0, 6, 5, 4, 7};

// The system's in-place border width, read once per process and kept sane.
int SystemHandleSize()
{
    static const int size =
        std::clamp(static_cast<int>(GetProfileIntW(L"windows", L"oleinplaceborderwidth", 4)), 1, 32);
    return size;
}

const HandleShape& ShapeOf(int handle)
{
    return kHandles[static_cast<std::size_t>(handle == RectTracker::HitMove ? 0 : handle)];
}

LONG* XEdge(RECT& rect, int handle)
{
    const Edge edge = ShapeOf(handle).x;
    return edge == Edge::Near ? &rect.left : edge == Edge::Far ? &rect.right : nullptr;
}

LONG* YEdge(RECT& rect, int handle)
{
    const Edge edge = ShapeOf(handle).y;
    return edge == Edge::Near ? &rect.top : edge == Edge::Far ? &rect.bottom : nullptr;
}

HCURSOR CursorFor(int hit)
{
    static const std::array<HCURSOR, 9> cursors{
        LoadCursorW(nullptr, IDC_SIZENWSE), LoadCursorW(nullptr, IDC_SIZENESW), LoadCursorW(nullptr, IDC_SIZENWSE),
        LoadCursorW(nullptr, IDC_SIZENESW), LoadCursorW(nullptr, IDC_SIZENS),   LoadCursorW(nullptr, IDC_SIZEWE),
        LoadCursorW(nullptr, IDC_SIZENS),   LoadCursorW(nullptr, IDC_SIZEWE),   LoadCursorW(nullptr, IDC_SIZEALL)};
    return cursors[static_cast<std::size_t>(hit)];
}

// A new edge position that keeps the edge at least minimum from the opposite one,
// on the side it is on (turned over only when invert allows it).
void KeepApart(LONG& moving, LONG opposite, bool movingIsNear, int minimum, bool invert)
{
    const int w = movingIsNear ? opposite - moving : moving - opposite;
    const int c = invert ? std::abs(w) : w;
    if (c >= minimum)
        return;
    const int sign = c == 0 ? 1 : w / c;
    moving = movingIsNear ? opposite - sign * minimum : opposite + sign * minimum;
}

} // namespace

RectTracker::RectTracker() : handleSize(SystemHandleSize()), minSize{2 * handleSize, 2 * handleSize}
{
    SetColor(0);
}

RectTracker::~RectTracker()
{
    if (pen)
        DeleteObject(pen);
}

int RectTracker::GetHandleSize()
{
    return handleSize;
}

bool RectTracker::IsEmpty() const
{
    return rect.left == rect.right || rect.top == rect.bottom;
}

RECT RectTracker::Normalized() const
{
    return RECT{std::min(rect.left, rect.right), std::min(rect.top, rect.bottom), std::max(rect.left, rect.right),
                std::max(rect.top, rect.bottom)};
}

RECT RectTracker::GetOuterRect() const
{
    RECT outer = Normalized();
    InflateRect(&outer, handleSize, handleSize);
    return outer;
}

unsigned RectTracker::GetHandleMask()
{
    unsigned mask = 0xFF;
    if (std::abs(rect.right - rect.left) - 3 * handleSize < 5)
        mask &= ~((1u << 4) | (1u << 6));
    if (std::abs(rect.bottom - rect.top) - 3 * handleSize < 5)
        mask &= ~((1u << 5) | (1u << 7));
    return mask;
}

int RectTracker::Turned(int handle) const
{
    if (rect.right < rect.left)
        handle = kTurnedLeftRight[static_cast<std::size_t>(handle)];
    if (rect.bottom < rect.top)
        handle = kTurnedTopBottom[static_cast<std::size_t>(handle)];
    return handle;
}

RECT RectTracker::GetHandleRect(int handle)
{
    const int s = GetHandleSize();
    RECT g = Normalized();
    const int grow = 1 + s - s / 2 - 1;
    InflateRect(&g, grow, grow);
    const HandleShape& shape = kHandles[static_cast<std::size_t>(Turned(handle))];
    int left = (shape.x == Edge::Far ? g.right : g.left) + s * shape.shiftX;
    int top = (shape.y == Edge::Far ? g.bottom : g.top) + s * shape.shiftY;
    if (shape.centredAlongWidth)
        left += (g.right - g.left - s) / 2;
    if (shape.centredAlongHeight)
        top += (g.bottom - g.top - s) / 2;
    return RECT{left, top, left + s, top + s};
}

int RectTracker::HitTest(POINT point)
{
    const RECT outer = GetOuterRect();
    if (IsEmpty() || !PtInRect(&outer, point))
        return HitNothing;
    const unsigned mask = GetHandleMask();
    for (int handle = 0; handle < 8; ++handle) {
        const RECT box = GetHandleRect(handle);
        if ((mask & (1u << handle)) && PtInRect(&box, point))
            return handle;
    }
    RECT inside = Normalized();
    InflateRect(&inside, 1, 1);
    return PtInRect(&inside, point) ? HitMove : HitNothing;
}

void RectTracker::AdjustRect(int handle, RECT* changed)
{
    if (handle == HitMove)
        return;
    const bool invert = allowInvert != 0;
    if (LONG* x = XEdge(*changed, handle))
        KeepApart(*x, x == &changed->left ? changed->right : changed->left, x == &changed->left, minSize.cx, invert);
    if (LONG* y = YEdge(*changed, handle))
        KeepApart(*y, y == &changed->top ? changed->bottom : changed->top, y == &changed->top, minSize.cy, invert);
}

void RectTracker::OnChangedRect(const RECT& changed)
{
    rectChanged(changed);
}

int RectTracker::Track(HWND trackWindow, POINT point, int invert)
{
    const int handle = GetCapture() ? HitNothing : HitTest(point);
    if (handle == HitNothing)
        return 0;
    allowInvert = invert;
    const RECT saved = rect;
    const int w0 = rect.right - rect.left;
    const int h0 = rect.bottom - rect.top;
    SetCapture(trackWindow);
    UpdateWindow(trackWindow);
    const int dx = XEdge(rect, handle) ? point.x - *XEdge(rect, handle) : 0;
    const int dy = YEdge(rect, handle) ? point.y - *YEdge(rect, handle) : 0;
    bool moved = false;
    RECT reported = rect;
    auto follow = [&](const MSG& message) {
        const bool up = message.message == WM_LBUTTONUP;
        const RECT old = rect;
        if (LONG* x = XEdge(rect, handle))
            *x = GET_X_LPARAM(message.lParam) - dx;
        if (LONG* y = YEdge(rect, handle))
            *y = GET_Y_LPARAM(message.lParam) - dy;
        if (handle == HitMove) {
            rect.right = rect.left + w0;
            rect.bottom = rect.top + h0;
            const int shiftX = rect.left < bounds.left     ? bounds.left - rect.left
                               : rect.right > bounds.right ? bounds.right - rect.right
                                                           : 0;
            const int shiftY = rect.top < bounds.top         ? bounds.top - rect.top
                               : rect.bottom > bounds.bottom ? bounds.bottom - rect.bottom
                                                             : 0;
            OffsetRect(&rect, shiftX, shiftY);
        }
        AdjustRect(handle, &rect);
        if (rect != old || up) {
            OnChangedRect(rect);
            reported = rect;
            moved = moved || !up;
        }
    };
    RunCaptureLoop(trackWindow, [&](const MSG& message) {
        switch (message.message) {
        case WM_KEYDOWN:
            if (message.wParam != VK_ESCAPE)
                return CaptureStep::Continue;
            rect = saved;
            return CaptureStep::Cancel;
        case WM_RBUTTONDOWN:
            rect = saved;
            return CaptureStep::Cancel;
        case WM_MOUSEMOVE:
            follow(message);
            return CaptureStep::Continue;
        case WM_LBUTTONUP:
            follow(message);
            return CaptureStep::Release;
        default:
            return message.message >= WM_KEYDOWN && message.message <= WM_CHAR ? CaptureStep::Continue
                                                                               : CaptureStep::Dispatch;
        }
    });
    if (!moved)
        rect = saved;
    // Whoever draws the selection learns that it went back.
    if (rect != reported)
        OnChangedRect(rect);
    return rect != saved;
}

void RectTracker::Draw(HDC dc)
{
    ScopedDcState keep(dc);
    SetMapMode(dc, MM_TEXT);
    SetViewportOrgEx(dc, 0, 0, nullptr);
    SetWindowOrgEx(dc, 0, 0, nullptr);
    RECT outline = Normalized();
    InflateRect(&outline, 1, 1);
    SelectObject(dc, pen);
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    SetROP2(dc, R2_COPYPEN);
    Rectangle(dc, outline.left, outline.top, outline.right, outline.bottom);
    SetBkColor(dc, color);
    const unsigned mask = GetHandleMask();
    for (int handle = 0; handle < 8; ++handle) {
        const RECT box = GetHandleRect(handle);
        if (mask & (1u << handle))
            ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &box, L"", 0, nullptr);
    }
}

int RectTracker::UpdateCursor(HWND cursorWindow, UINT hitCode)
{
    if (hitCode != HTCLIENT)
        return 0;
    POINT point;
    GetCursorPos(&point);
    ScreenToClient(cursorWindow, &point);
    const int hit = HitTest(point);
    if (hit < 0)
        return 0;
    SetCursor(CursorFor(hit == HitMove ? hit : Turned(hit)));
    return 1;
}

void RectTracker::UpdateBounds(POINT origin, int width, int height)
{
    bounds = RECT{origin.x, origin.y, origin.x + width, origin.y + height};
}

void RectTracker::ClampToBounds()
{
    if (rect.left < bounds.left)
        rect.left = bounds.left;
    else if (rect.right > bounds.right)
        rect.right = bounds.right;
    else if (rect.right < bounds.left)
        rect.right = bounds.left;
    else if (rect.left > bounds.right)
        rect.left = bounds.right;
    if (rect.top < bounds.top)
        rect.top = bounds.top;
    else if (rect.top > bounds.bottom)
        rect.top = bounds.bottom;
    else if (rect.bottom > bounds.bottom)
        rect.bottom = bounds.bottom;
    else if (rect.bottom < bounds.top)
        rect.bottom = bounds.top;
}

void RectTracker::SetColor(COLORREF value)
{
    color = value;
    if (pen)
        DeleteObject(pen);
    pen = CreatePen(PS_SOLID, 1, color);
}
