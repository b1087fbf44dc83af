#pragma once
// Key and pointer state shared by input routing and GetKeyState/GetCursorPos. The
// thread that owns the windows reads and changes it.

#include "Platform/Win/WinTypes.h"

#include <array>
#include <cstdint>

namespace Platform {

struct InputState {
    std::array<bool, 256> keyDown{};
    POINT cursor;
    HCURSOR cursorShape = nullptr;

    static InputState& Instance();
    WPARAM MouseKeyFlags() const;
};

} // namespace Platform
