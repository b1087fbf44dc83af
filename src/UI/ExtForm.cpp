#include "UI/ExtForm.h"

#include "Imaging/ImageLister.h"
#include "Platform/Gdi/Text.h"
#include "UI/EventArgs.h"
#include "UI/UiDrawing.h"
#include "UI/UiFontSet.h"

using namespace Platform;

void ExtForm::OnPaint(Zivoro::UI::CPaintEventArgs* args)
{
    DrawFrame(args);
    ImageLister::Instance().Draw(args->dc, POINT{6, 6}, iconName);
    DrawTitle(args);
}

void ExtForm::DrawFrame(Zivoro::UI::CPaintEventArgs* args)
{
    const RECT& b = bounds;
    PaintFill(args->dc, b, 0xFFFFFF);
    PaintFill(args->dc, RECT{b.left, b.bottom - 37, b.right, b.bottom}, 0xF3F3F3);
    ImageLister::Instance().DrawStretched(args->dc, RECT{b.left, b.top + 1, b.right, b.top + 34}, "Title_bk");
    PaintBorder(args->dc, b, 1, 0xD8D8D8);
}

void ExtForm::DrawTitle(Zivoro::UI::CPaintEventArgs* args)
{
    if (title.empty())
        return;
    // Measured with whatever font the context has selected, as the layout was made.
    SIZE extent;
    if (!GetTextExtentPoint32W(args->dc, title.c_str(), static_cast<int>(title.size()), &extent))
        return;
    PaintText(args->dc, RECT{26, 7, 26 + extent.cx, 7 + extent.cy}, title, 0x4E4E4E, UiFontSet::Instance().font,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}
