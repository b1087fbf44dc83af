#pragma once
// Input as a backend delivers it, before the window system routes it to a window.

#include "Platform/Win/WinTypes.h"

#include <cstdint>

namespace Platform {

struct RawInput {
    enum class Kind { MouseMove, LeftDown, LeftUp, RightDown, RightUp, Wheel, KeyDown, KeyUp, Character, FocusLoss };
    Kind kind = Kind::MouseMove;
    POINT screen;     // mouse kinds: the pointer on the screen
    int wheelDelta = 0;
    UINT virtualKey = 0;
    wchar_t character = 0;
    // The window-system clock when the input happened.
    std::uint64_t time = 0;
};

} // namespace Platform
