#pragma once
// Turns raw input into window messages: hit-testing, capture, double-clicks, mouse
// leave and hover, keys to the focus window.

#include "Platform/Win/RawInput.h"

#include <cstdint>

namespace Platform {

// Posts the messages the input produces to the calling thread's windows.
void RouteInput(const RawInput& input);
// A due WM_MOUSEHOVER, taken when remove is set.
bool NextHoverMessage(MSG& out, bool remove);
// Milliseconds until the next hover is due; -1 when none is pending.
std::int64_t MillisecondsUntilHover();

} // namespace Platform
