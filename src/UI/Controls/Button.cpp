#include "UI/Controls/Button.h"

#include "Imaging/ImageLister.h"
#include "Platform/Gdi/GdiTypes.h"
#include "UI/Controls/PressBehavior.h"
#include "UI/EventArgs.h"
#include "UI/UiDrawing.h"
#include "UI/UiFontSet.h"

using namespace Platform;

namespace Zivoro::UI::Controls {

void Button::Create(ControlBase* parentControl, const std::wstring& caption)
{
    Attach(parentControl);
    text = caption;
}

void Button::SetImages(const std::string& normal, const std::string& hover, const std::string& down,
                       const std::string& disabledImage)
{
    imageNormal = normal;
    imageHover = hover;
    imageDown = down;
    imageDisabled = disabledImage;
}

void Button::DrawBackground(CPaintEventArgs* args)
{
    const std::string& face = disabled               ? imageDisabled
                              : state & StatePressed ? imageDown
                              : state & StateHover   ? imageHover
                                                     : imageNormal;
    ImageLister::Instance().DrawStretched(args->dc, bounds, face);
}

void Button::OnPaint(CPaintEventArgs* args)
{
    if (!visible)
        return;
    DrawBackground(args);
    if (text.empty())
        return;
    const UiFontSet& fonts = UiFontSet::Instance();
    PaintText(args->dc, bounds, text, disabled ? fonts.disabledColor : fonts.textColor, fonts.font,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void Button::OnMouseDown(CMouseEventArgs* args)
{
    BeginPress(*this, *args);
}

void Button::OnMouseMove(CMouseEventArgs* args)
{
    if (!disabled)
        TrackHover(*this, args->pt);
}

void Button::OnMouseUp(CMouseEventArgs* args)
{
    if (disabled || !visible)
        return;
    if (EndPress(*this, args->pt, CancelClears::AllState) == PressEnd::Inside)
        clicked();
}

} // namespace Zivoro::UI::Controls
