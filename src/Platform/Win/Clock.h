#pragma once
// The one monotonic clock of the window system: message times, and later the
// double-click and timer rules. Tests may stop it and move it by hand.

#include "Platform/Com/ComTypes.h"

#include <cstdint>

namespace Platform {

// Milliseconds since the clock started, wrapping like a 32-bit tick count.
DWORD GetTickCount();
std::uint64_t GetTickCount64();

// Switches to a manual clock that stands at the current time until advanced.
void UseManualClock();
void AdvanceManualClock(std::uint64_t milliseconds);
void UseSystemClock();

} // namespace Platform
