#include "UI/Controls/PressBehavior.h"

#include "Platform/Win/Region.h"
#include "UI/EventArgs.h"

using namespace Platform;

namespace Zivoro::UI::Controls {

bool IsInside(const ControlBase& control, POINT point)
{
    return PtInRect(&control.bounds, point) != FALSE;
}

void BeginPress(ControlBase& control, CMouseEventArgs& args)
{
    if (!control.visible || control.disabled || !IsInside(control, args.pt))
        return;
    args.handled = 1;
    args.target = &control;
    control.state |= StatePressed;
    control.Invalidate();
}

void TrackHover(ControlBase& control, POINT point)
{
    if (!control.visible || (control.state & StatePressed))
        return;
    const int hover = IsInside(control, point) ? StateHover : 0;
    if ((control.state & StateHover) == hover)
        return;
    control.state = (control.state & ~StateHover) | hover;
    control.Invalidate();
}

PressEnd EndPress(ControlBase& control, POINT point, CancelClears clears)
{
    if (!(control.state & StatePressed))
        return PressEnd::None;
    const bool inside = IsInside(control, point);
    if (inside || clears == CancelClears::Pressed)
        control.state &= ~StatePressed;
    else
        control.state = 0;
    control.Invalidate();
    return inside ? PressEnd::Inside : PressEnd::Outside;
}

} // namespace Zivoro::UI::Controls
