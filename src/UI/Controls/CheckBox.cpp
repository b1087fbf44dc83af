#include "UI/Controls/CheckBox.h"

#include "Imaging/ImageLister.h"
#include "Platform/Gdi/GdiTypes.h"
#include "Platform/Win/Painting.h"
#include "UI/Controls/PressBehavior.h"
#include "UI/EventArgs.h"
#include "UI/UiDrawing.h"
#include "UI/UiFontSet.h"

using namespace Platform;

namespace Zivoro::UI::Controls {

void CheckBox::Create(ControlBase* parentControl, const std::wstring& caption)
{
    Attach(parentControl);
    SetText(caption);
}

void CheckBox::SetText(const std::wstring& caption)
{
    text = caption;
    HDC dc = GetDC(hwnd);
    const SIZE extent = MeasureText(dc, text, static_cast<int>(text.size()), UiFontSet::Instance().font);
    ReleaseDC(hwnd, dc);
    SetSize(extent.cx, extent.cy);
    Invalidate();
}

void CheckBox::SetChecked(int value)
{
    checked = value;
    Invalidate();
}

void CheckBox::UpdateLayout()
{
    const SIZE textExtent = size;
    size.cx = textExtent.cx + boxWidth;
    const RECT placed = ComputeBounds();
    size = textExtent;
    bounds = RECT{placed.left, placed.top, placed.left + textExtent.cx + boxWidth, placed.top + boxHeight};
}

void CheckBox::DrawBox(CPaintEventArgs* args)
{
    const bool hover = state & StateHover;
    const std::string& image =
        checked ? (hover ? imageCheckedHover : imageChecked) : (hover ? imageHover : imageNormal);
    ImageLister::Instance().Draw(args->dc, POINT{bounds.left, bounds.top}, image);
}

void CheckBox::OnPaint(CPaintEventArgs* args)
{
    if (!visible)
        return;
    DrawBox(args);
    const RECT textRect{bounds.left + boxWidth, bounds.top, bounds.right + boxWidth, bounds.bottom};
    const UiFontSet& fonts = UiFontSet::Instance();
    PaintText(args->dc, textRect, text, fonts.textColor, fonts.font, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void CheckBox::OnMouseDown(CMouseEventArgs* args)
{
    BeginPress(*this, *args);
}

void CheckBox::OnMouseMove(CMouseEventArgs* args)
{
    TrackHover(*this, args->pt);
}

void CheckBox::OnMouseUp(CMouseEventArgs* args)
{
    if (!visible)
        return;
    if (EndPress(*this, args->pt, CancelClears::Pressed) == PressEnd::Inside) {
        checked = !checked;
        changed();
    }
}

} // namespace Zivoro::UI::Controls
