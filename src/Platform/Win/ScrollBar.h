#pragma once
// The standard scroll bars of WS_VSCROLL/WS_HSCROLL windows: kept in the frame,
// drawn by the default frame painting, worked with the mouse (arrows, page areas,
// thumb drag), reporting through WM_VSCROLL/WM_HSCROLL with the SB_* codes.

#include "Platform/Win/WinTypes.h"

namespace Platform {

// bar: SB_VERT or SB_HORZ. The position is kept within min .. max - page + 1. A bar
// whose new range or page needs no scrolling disappears unless SIF_DISABLENOSCROLL
// keeps it (disabled); setting only the position never shows or hides a bar. Returns the position.
int SetScrollInfo(HWND window, int bar, const SCROLLINFO* info, BOOL redraw);
BOOL GetScrollInfo(HWND window, int bar, SCROLLINFO* info);
// Returns the previous position.
int SetScrollPos(HWND window, int bar, int position, BOOL redraw);
int GetScrollPos(HWND window, int bar);
// bar: SB_VERT, SB_HORZ or SB_BOTH; flags ESB_ENABLE_BOTH or ESB_DISABLE_BOTH.
BOOL EnableScrollBar(HWND window, UINT bar, UINT flags);
BOOL ShowScrollBar(HWND window, int bar, BOOL show);

} // namespace Platform
