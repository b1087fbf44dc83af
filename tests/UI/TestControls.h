#pragma once
// A windowless control following the press gesture, painting its bounds in a colour,
// and recording what reached it.

#include "Platform/Gdi/Gdi.h"
#include "Platform/Win/Region.h"
#include "UI/ControlBase.h"
#include "UI/EventArgs.h"

#include <string>
#include <vector>

namespace UITest {

using namespace Platform;
using Zivoro::UI::CMouseEventArgs;
using Zivoro::UI::CPaintEventArgs;

class PressControl : public ControlBase {
public:
    explicit PressControl(std::string name, COLORREF color = RGB(255, 0, 0)) : name(std::move(name)), color(color) {}

    void OnPaint(CPaintEventArgs* args) override
    {
        if (!visible)
            return;
        ++paints;
        HBRUSH brush = CreateSolidBrush(color);
        FillRect(args->dc, &bounds, brush);
        DeleteObject(brush);
    }

    void OnMouseDown(CMouseEventArgs* args) override
    {
        if (!visible || disabled || !PtInRect(&bounds, args->pt))
            return;
        events.push_back("down");
        state |= StatePressed;
        args->handled = 1;
        args->target = this;
        Invalidate();
    }

    void OnMouseUp(CMouseEventArgs* args) override
    {
        if (!(state & StatePressed))
            return;
        state &= ~StatePressed;
        Invalidate();
        if (PtInRect(&bounds, args->pt)) {
            events.push_back("clicked");
            ++clicks;
        } else {
            events.push_back("up-outside");
        }
    }

    void OnMouseMove(CMouseEventArgs* args) override
    {
        if (!visible)
            return;
        events.push_back("move");
        if (PtInRect(&bounds, args->pt))
            state |= StateHover;
    }

    std::string name;
    COLORREF color;
    std::vector<std::string> events;
    int clicks = 0;
    int paints = 0;
};

} // namespace UITest
