#include "UI/Label.h"

#include "Platform/Gdi/Text.h"
#include "Platform/Win/Painting.h"
#include "UI/EventArgs.h"
#include "UI/UiDrawing.h"
#include "UI/UiFontSet.h"

using namespace Platform;

void Label::Create(ControlBase* parentControl, const std::wstring& caption)
{
    Attach(parentControl);
    SetText(caption);
}

void Label::SetText(const std::wstring& caption)
{
    Invalidate();
    text = caption;
    // Measured in the window's own DC font, as the layout of the views expects.
    HDC dc = GetDC(hwnd);
    SIZE extent;
    if (!GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent))
        extent = SIZE{};
    ReleaseDC(hwnd, dc);
    bounds.right = bounds.left + extent.cx;
    bounds.bottom = bounds.top + extent.cy;
    Invalidate();
}

void Label::UpdateLayout()
{
    const RECT placed = ComputeBounds();
    bounds = RECT{placed.left, placed.top, placed.left + (bounds.right - bounds.left),
                  placed.top + (bounds.bottom - bounds.top)};
}

void Label::OnPaint(Zivoro::UI::CPaintEventArgs* args)
{
    if (visible)
        PaintText(args->dc, bounds, text, color, UiFontSet::Instance().font, static_cast<UINT>(format));
}
