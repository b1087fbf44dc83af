#pragma once
// Event argument records handed down the control tree. They live on the host's stack
// for one dispatch and are never kept.

#include "Platform/Win/WinTypes.h"

class ControlBase;

namespace Platform::Gdiplus {
class Graphics;
}

namespace Zivoro::UI {

class CEventArgs {
public:
    virtual ~CEventArgs() = default;
};

class CPaintEventArgs : public CEventArgs {
public:
    // The off-screen context to draw into.
    Platform::HDC dc = nullptr;
    // A second memory context compatible with the screen, for drawing code that needs one.
    Platform::HDC scratchDC = nullptr;
    // GDI+ drawing on dc.
    Platform::Gdiplus::Graphics* graphics = nullptr;
};

class CMouseEventArgs : public CEventArgs {
public:
    // The message's mouse key flags (MK_*).
    std::int32_t keys = 0;
    // In client coordinates of the host window.
    Platform::POINT pt;
    // A control that takes a press sets handled to 1 and target to itself.
    std::int32_t handled = 0;
    ControlBase* target = nullptr;
};

} // namespace Zivoro::UI
