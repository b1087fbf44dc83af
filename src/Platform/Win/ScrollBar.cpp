#include "Platform/Win/ScrollBar.h"

#include "Platform/Gdi/Gdi.h"
#include "Platform/Win/CaptureLoop.h"
#include "Platform/Win/Input.h"
#include "Platform/Win/MessageLoop.h"
#include "Platform/Win/Painting.h"
#include "Platform/Win/ScrollBarFrame.h"
#include "Platform/Win/Window.h"
#include "Platform/Win/WindowTree.h"

#include <algorithm>
#include <optional>

namespace Platform {
namespace {

constexpr int kBarSize = 17;
constexpr int kMinimumThumb = 8;
constexpr COLORREF kTrackColor = 0xF0F0F0;
constexpr COLORREF kThumbColor = 0xCDCDCD;
constexpr COLORREF kArrowColor = 0x606060;
constexpr COLORREF kDisabledArrowColor = 0xBFBFBF;
// A held arrow or page area steps again after this pause, then at this period.
constexpr UINT kRepeatDelayMs = 250;
constexpr UINT kRepeatPeriodMs = 50;
// The thumb's part code, beside the scroll codes of the arrows and page areas.
constexpr WORD kThumbPart = 0xFFFF;

std::uint32_t StyleBit(int bar)
{
    return bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL;
}

ScrollBarState* BarOf(WindowObject& window, int bar)
{
    if (bar == SB_VERT)
        return &window.vertical;
    if (bar == SB_HORZ)
        return &window.horizontal;
    return nullptr;
}

int MaximumPosition(const SCROLLINFO& info)
{
    return std::max(info.nMin, info.nMax - std::max(static_cast<int>(info.nPage) - 1, 0));
}

bool CanScroll(const ScrollBarState& bar)
{
    return bar.enabled && MaximumPosition(bar.info) > bar.info.nMin;
}

// Geometry of one bar along its length, in window coordinates.
struct BarLayout {
    RECT rect; // the whole bar
    int start = 0; // track start (after the first arrow) along the bar's axis
    int length = 0; // track length
    int thumbStart = 0; // thumb offset within the track
    int thumbLength = 0;
    bool vertical = true;
};

BarLayout LayoutOf(const WindowObject& window, int bar)
{
    BarLayout layout;
    layout.vertical = bar == SB_VERT;
    const RECT& c = window.client;
    layout.rect = layout.vertical ? RECT{c.right, c.top, c.right + kBarSize, c.bottom}
                                  : RECT{c.left, c.bottom, c.right, c.bottom + kBarSize};
    const int total = layout.vertical ? c.bottom - c.top : c.right - c.left;
    const int arrow = std::min(kBarSize, total / 2);
    layout.start = (layout.vertical ? c.top : c.left) + arrow;
    layout.length = std::max(0, total - 2 * arrow);
    const ScrollBarState& state = bar == SB_VERT ? window.vertical : window.horizontal;
    const SCROLLINFO& info = state.info;
    const int span = info.nMax - info.nMin + 1;
    layout.thumbLength = info.nPage > 0 && span > 0
                             ? static_cast<int>(static_cast<long long>(layout.length) * info.nPage / span)
                             : kBarSize;
    layout.thumbLength = std::clamp(layout.thumbLength, std::min(kMinimumThumb, layout.length), layout.length);
    const int positions = MaximumPosition(info) - info.nMin;
    const int position = info.nTrackPos != info.nPos && state.enabled ? info.nTrackPos : info.nPos;
    layout.thumbStart = positions > 0 ? static_cast<int>(static_cast<long long>(layout.length - layout.thumbLength) *
                                                         (position - info.nMin) / positions)
                                      : 0;
    return layout;
}

// The part of the bar at a distance along it: an arrow or page area as its scroll
// code, or the thumb.
WORD PartAt(const BarLayout& layout, int along)
{
    const int thumbStart = layout.start + layout.thumbStart;
    if (along < layout.start)
        return SB_LINEUP;
    if (along < thumbStart)
        return SB_PAGEUP;
    if (along < thumbStart + layout.thumbLength)
        return kThumbPart;
    if (along < layout.start + layout.length)
        return SB_PAGEDOWN;
    return SB_LINEDOWN;
}

// The part under a screen point, as the bar stands now; none off the bar.
std::optional<WORD> PartUnder(const WindowObject& window, int bar, POINT screen)
{
    const BarLayout layout = LayoutOf(window, bar);
    const POINT origin = WindowOrigin(window);
    const POINT point{screen.x - origin.x, screen.y - origin.y};
    if (!PtInRect(&layout.rect, point))
        return std::nullopt;
    return PartAt(layout, layout.vertical ? point.y : point.x);
}

RECT Along(const BarLayout& layout, int from, int to)
{
    return layout.vertical ? RECT{layout.rect.left, from, layout.rect.right, to}
                           : RECT{from, layout.rect.top, to, layout.rect.bottom};
}

// A small filled triangle pointing away from the track.
void PaintArrow(HDC dc, const RECT& box, bool vertical, bool towardsStart, COLORREF color)
{
    const int cx = (box.left + box.right) / 2, cy = (box.top + box.bottom) / 2;
    for (int i = 0; i < 4; ++i) {
        const int offset = towardsStart ? i - 2 : 1 - i;
        const RECT line = vertical ? RECT{cx - i, cy + offset, cx + i + 1, cy + offset + 1}
                                   : RECT{cx + offset, cy - i, cx + offset + 1, cy + i + 1};
        FillColor(dc, line, color);
    }
}

void PaintBar(HDC dc, const WindowObject& window, int bar)
{
    const BarLayout layout = LayoutOf(window, bar);
    const bool active = CanScroll(bar == SB_VERT ? window.vertical : window.horizontal);
    FillColor(dc, layout.rect, kTrackColor);
    const COLORREF arrow = active ? kArrowColor : kDisabledArrowColor;
    const int end = layout.start + layout.length;
    const int barStart = layout.vertical ? layout.rect.top : layout.rect.left;
    const int barEnd = layout.vertical ? layout.rect.bottom : layout.rect.right;
    PaintArrow(dc, Along(layout, barStart, layout.start), layout.vertical, true, arrow);
    PaintArrow(dc, Along(layout, end, barEnd), layout.vertical, false, arrow);
    if (!active || layout.length <= 0)
        return;
    RECT thumb = Along(layout, layout.start + layout.thumbStart, layout.start + layout.thumbStart + layout.thumbLength);
    InflateRect(&thumb, layout.vertical ? -2 : 0, layout.vertical ? 0 : -2);
    FillColor(dc, thumb, kThumbColor);
}

void SendScroll(HWND window, int bar, WORD code, int position = 0)
{
    SendMessageW(window, bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, position), 0);
}

void Relayout(const std::shared_ptr<WindowObject>& window)
{
    RecalculateFrame(window->handle);
    const RECT client = ClientArea(*window);
    InvalidateRect(window->handle, nullptr, TRUE);
    SendMessageW(window->handle, WM_SIZE, window->maximized ? SIZE_MAXIMIZED : SIZE_RESTORED,
                 MAKELPARAM(client.right, client.bottom));
}

void DragThumb(HWND handle, int bar, const BarLayout& pressed, POINT press)
{
    auto window = OwnedWindow(handle);
    const SCROLLINFO info = BarOf(*window, bar)->info;
    const int positions = MaximumPosition(info) - info.nMin;
    const int room = pressed.length - pressed.thumbLength;
    int position = info.nPos;
    const CaptureEnd end = RunCaptureLoop(handle, [&](POINT cursor) {
        const int moved = pressed.vertical ? cursor.y - press.y : cursor.x - press.x;
        const int offset = std::clamp(pressed.thumbStart + moved, 0, std::max(room, 0));
        const int next =
            room > 0 ? info.nMin + static_cast<int>(static_cast<long long>(offset) * positions / room) : info.nMin;
        if (next == position)
            return;
        position = next;
        if (auto current = OwnedWindow(handle)) {
            BarOf(*current, bar)->info.nTrackPos = position;
            current->frameDirty = true;
        }
        SendScroll(handle, bar, SB_THUMBTRACK, position);
    });
    if (auto current = OwnedWindow(handle))
        BarOf(*current, bar)->info.nTrackPos = BarOf(*current, bar)->info.nPos;
    if (end == CaptureEnd::Released)
        SendScroll(handle, bar, SB_THUMBPOSITION, position);
    SendScroll(handle, bar, SB_ENDSCROLL);
}

} // namespace

void ReserveScrollBars(std::uint32_t style, RECT& client)
{
    if (style & WS_VSCROLL)
        client.right = std::max(client.left, client.right - kBarSize);
    if (style & WS_HSCROLL)
        client.bottom = std::max(client.top, client.bottom - kBarSize);
}

int HitTestScrollBars(HWND handle, POINT screen)
{
    auto window = FindWindowObject(handle);
    if (!window)
        return HTNOWHERE;
    const POINT origin = WindowOrigin(*window);
    const POINT local{screen.x - origin.x, screen.y - origin.y};
    for (int bar : {SB_VERT, SB_HORZ}) {
        if (!(window->style & StyleBit(bar)))
            continue;
        const RECT rect = LayoutOf(*window, bar).rect;
        if (PtInRect(&rect, local))
            return bar == SB_VERT ? HTVSCROLL : HTHSCROLL;
    }
    return HTNOWHERE;
}

void PaintScrollBars(HWND handle)
{
    auto window = OwnedWindow(handle);
    if (!window || !(window->style & (WS_VSCROLL | WS_HSCROLL)))
        return;
    HDC dc = GetWindowDC(handle);
    for (int bar : {SB_VERT, SB_HORZ})
        if (window->style & StyleBit(bar))
            PaintBar(dc, *window, bar);
    if ((window->style & WS_VSCROLL) && (window->style & WS_HSCROLL))
        FillColor(dc,
                  RECT{window->client.right, window->client.bottom, window->client.right + kBarSize,
                       window->client.bottom + kBarSize},
                  kTrackColor);
    ReleaseDC(handle, dc);
}

void TrackScrollBar(HWND handle, int hit, POINT screen)
{
    auto window = OwnedWindow(handle);
    const int bar = hit == HTVSCROLL ? SB_VERT : SB_HORZ;
    if (!window || !CanScroll(*BarOf(*window, bar)))
        return;
    const BarLayout layout = LayoutOf(*window, bar);
    const std::optional<WORD> pressed = PartUnder(*window, bar, screen);
    if (!pressed)
        return;
    const WORD part = *pressed;
    if (part == kThumbPart) {
        DragThumb(handle, bar, layout, screen);
        return;
    }
    SendScroll(handle, bar, part);
    // Held down, the part steps again and again while the pointer stays over it; a page
    // area stops once the thumb, moved by the window, reaches the pointer.
    const CaptureRepeat repeat{kRepeatDelayMs, kRepeatPeriodMs, [handle, bar, part] {
                                   auto current = OwnedWindow(handle);
                                   POINT cursor;
                                   GetCursorPos(&cursor);
                                   if (current && CanScroll(*BarOf(*current, bar)) &&
                                       PartUnder(*current, bar, cursor) == part)
                                       SendScroll(handle, bar, part);
                               }};
    RunCaptureLoop(
        handle, [](POINT) {}, &repeat);
    SendScroll(handle, bar, SB_ENDSCROLL);
}

int SetScrollInfo(HWND handle, int bar, const SCROLLINFO* info, BOOL redraw)
{
    auto window = OwnedWindow(handle);
    ScrollBarState* state = window ? BarOf(*window, bar) : nullptr;
    if (!state || !info)
        return 0;
    SCROLLINFO& current = state->info;
    if (info->fMask & SIF_RANGE) {
        current.nMin = info->nMin;
        current.nMax = std::max(info->nMin, info->nMax);
    }
    if (info->fMask & SIF_PAGE)
        current.nPage = std::min<UINT>(info->nPage, static_cast<UINT>(current.nMax - current.nMin + 1));
    if (info->fMask & SIF_POS)
        current.nPos = info->nPos;
    current.nPos = std::clamp(current.nPos, current.nMin, MaximumPosition(current));
    current.nTrackPos = current.nPos;
    const bool needed = MaximumPosition(current) > current.nMin;
    const bool shown = window->style & StyleBit(bar);
    // Only a new range or page decides whether the bar is needed; moving the position
    // leaves a bar as it stands, so a bar kept visible and disabled stays so.
    const bool sized = info->fMask & (SIF_RANGE | SIF_PAGE);
    const bool show =
        sized ? needed || ((info->fMask & SIF_DISABLENOSCROLL) && (shown || (info->fMask & SIF_RANGE))) : shown;
    if (show != shown) {
        ShowScrollBar(handle, bar, show ? TRUE : FALSE);
    } else if (redraw) {
        window->frameDirty = true;
    }
    return current.nPos;
}

BOOL GetScrollInfo(HWND handle, int bar, SCROLLINFO* info)
{
    auto window = FindWindowObject(handle);
    ScrollBarState* state = window ? BarOf(*window, bar) : nullptr;
    if (!state || !info)
        return FALSE;
    const SCROLLINFO& current = state->info;
    if (info->fMask & SIF_RANGE) {
        info->nMin = current.nMin;
        info->nMax = current.nMax;
    }
    if (info->fMask & SIF_PAGE)
        info->nPage = current.nPage;
    if (info->fMask & SIF_POS)
        info->nPos = current.nPos;
    if (info->fMask & SIF_TRACKPOS)
        info->nTrackPos = current.nTrackPos;
    return TRUE;
}

int SetScrollPos(HWND handle, int bar, int position, BOOL redraw)
{
    const int old = GetScrollPos(handle, bar);
    SCROLLINFO info;
    info.fMask = SIF_POS;
    info.nPos = position;
    SetScrollInfo(handle, bar, &info, redraw);
    return old;
}

int GetScrollPos(HWND handle, int bar)
{
    SCROLLINFO info;
    info.fMask = SIF_POS;
    return GetScrollInfo(handle, bar, &info) ? info.nPos : 0;
}

BOOL EnableScrollBar(HWND handle, UINT bar, UINT flags)
{
    auto window = OwnedWindow(handle);
    if (!window)
        return FALSE;
    const bool enable = flags == ESB_ENABLE_BOTH;
    if (bar == SB_VERT || bar == SB_BOTH)
        window->vertical.enabled = enable;
    if (bar == SB_HORZ || bar == SB_BOTH)
        window->horizontal.enabled = enable;
    window->frameDirty = true;
    return TRUE;
}

BOOL ShowScrollBar(HWND handle, int bar, BOOL show)
{
    auto window = OwnedWindow(handle);
    if (!window)
        return FALSE;
    const std::uint32_t bits = bar == SB_BOTH ? (WS_VSCROLL | WS_HSCROLL) : StyleBit(bar);
    const std::uint32_t style = show ? (window->style | bits) : (window->style & ~bits);
    if (style != window->style) {
        window->style = style;
        Relayout(window);
    }
    return TRUE;
}

} // namespace Platform
