#pragma once
// Input as a backend delivers it, before the window system routes it to a window.

#include "Platform/Win/WinTypes.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Platform {

struct RawInput {
    enum class Kind {
        MouseMove,
        LeftDown,
        LeftUp,
        RightDown,
        RightUp,
        Wheel,
        KeyDown,
        KeyUp,
        Character,
        FocusLoss,
        FilesDropped
    };
    Kind kind = Kind::MouseMove;
    POINT screen; // mouse kinds and FilesDropped: the pointer on the screen
    int wheelDelta = 0;
    UINT virtualKey = 0;
    wchar_t character = 0;
    // FilesDropped: the files and the MK_CONTROL and MK_SHIFT keys held at the drop.
    std::vector<std::wstring> paths;
    DWORD keyState = 0;
    // The window-system clock when the input happened.
    std::uint64_t time = 0;
};

} // namespace Platform
