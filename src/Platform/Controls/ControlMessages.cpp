#include "Platform/Controls/ControlMessages.h"

#include "Platform/Win/MessageLoop.h"
#include "Platform/Win/Window.h"

namespace Platform {

void NotifyParent(HWND control, WORD code)
{
    const HWND parent = GetParent(control);
    if (!parent || !(GetWindowStyle(control) & WS_CHILD))
        return;
    const auto id = static_cast<int>(GetWindowLongPtrW(control, GWLP_ID));
    SendMessageW(parent, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
}

} // namespace Platform
