#pragma once
// The press gesture shared by the clickable controls: a press inside a visible,
// enabled control takes the gesture; the release inside completes it, outside
// cancels it. These functions change state and invalidate; painting is elsewhere.

#include "UI/ControlBase.h"

namespace Zivoro::UI {
class CMouseEventArgs;
}

namespace Zivoro::UI::Controls {

enum class PressEnd { None, Inside, Outside };
// What a cancelled press clears: the pressed bit alone, or the hover bit too.
enum class CancelClears { Pressed, AllState };

bool IsInside(const ControlBase& control, Platform::POINT point);
// Takes the press when it lands inside a visible, enabled control.
void BeginPress(ControlBase& control, CMouseEventArgs& args);
// The hover bit follows the pointer while no press is held; repaints on a change.
void TrackHover(ControlBase& control, Platform::POINT point);
// Ends a press the control holds.
PressEnd EndPress(ControlBase& control, Platform::POINT point, CancelClears clears);

} // namespace Zivoro::UI::Controls
