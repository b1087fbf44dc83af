#include "Platform/Controls/ControlMessages.h"

#include "Platform/Win/MessageLoop.h"
#include "Platform/Win/Painting.h"
#include "Platform/Win/Window.h"

#include <cstdint>

namespace Platform {

void NotifyParent(HWND control, WORD code)
{
    const HWND parent = GetParent(control);
    if (!parent || !(GetWindowStyle(control) & WS_CHILD))
        return;
    const auto id = static_cast<int>(GetWindowLongPtrW(control, GWLP_ID));
    SendMessageW(parent, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
}

LRESULT FontMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam, HFONT& font)
{
    if (message == WM_GETFONT)
        return reinterpret_cast<LRESULT>(font);
    font = reinterpret_cast<HFONT>(wParam);
    if (LOWORD(static_cast<std::uintptr_t>(lParam)))
        InvalidateRect(control, nullptr, TRUE);
    return 0;
}

} // namespace Platform
