#include "UI/Controls/IconLabel.h"

#include "Imaging/ImageLister.h"
#include "Imaging/RasterImage.h"
#include "Platform/Gdi/GdiTypes.h"
#include "Platform/Win/Painting.h"
#include "UI/Controls/PressBehavior.h"
#include "UI/EventArgs.h"
#include "UI/UiDrawing.h"
#include "UI/UiFontSet.h"

using namespace Platform;

namespace Zivoro::UI::Controls {

void IconLabel::Create(ControlBase* parentControl, const std::wstring& caption, const std::string& image)
{
    Attach(parentControl);
    imageName = image;
    SetText(caption);
}

int IconLabel::IconWidth() const
{
    auto image = ImageLister::Instance().Get(imageName);
    return image ? image->GetWidth() : -1;
}

void IconLabel::SetText(const std::wstring& caption)
{
    text = caption;
    HDC dc = GetDC(hwnd);
    SIZE extent = MeasureText(dc, text, static_cast<int>(text.size()), UiFontSet::Instance().font);
    ReleaseDC(hwnd, dc);
    if (const int iconWidth = IconWidth(); iconWidth >= 0)
        extent.cx += iconWidth + 5;
    SetSize(extent.cx, extent.cy);
    Invalidate();
}

void IconLabel::DrawIcon(CPaintEventArgs* args)
{
    const POINT corner{bounds.left, bounds.top};
    if (disabled)
        ImageLister::Instance().DrawGray(args->dc, corner, imageName);
    else
        ImageLister::Instance().Draw(args->dc, corner, imageName);
}

void IconLabel::OnPaint(CPaintEventArgs* args)
{
    DrawIcon(args);
    RECT textRect = bounds;
    if (const int iconWidth = IconWidth(); iconWidth >= 0)
        textRect.left += iconWidth + gap;
    const UiFontSet& fonts = UiFontSet::Instance();
    PaintText(args->dc, textRect, text, disabled ? fonts.disabledColor : fonts.textColor, fonts.font,
              DT_VCENTER | DT_SINGLELINE);
}

void IconLabel::OnMouseDown(CMouseEventArgs* args)
{
    BeginPress(*this, *args);
}

void IconLabel::OnMouseMove(CMouseEventArgs* args)
{
    if (!disabled)
        TrackHover(*this, args->pt);
}

void IconLabel::OnMouseUp(CMouseEventArgs* args)
{
    if (disabled || !visible)
        return;
    if (EndPress(*this, args->pt, CancelClears::AllState) == PressEnd::Inside)
        clicked(this);
}

void IconLabel::OnMouseLeave()
{
    state &= ~StateHover;
}

} // namespace Zivoro::UI::Controls
