#include "UI/Controls/Icon.h"

#include "Imaging/ImageLister.h"
#include "UI/EventArgs.h"

namespace Zivoro::UI::Controls {

void Icon::Create(ControlBase* parentControl)
{
    Attach(parentControl);
}

void Icon::OnPaint(CPaintEventArgs* args)
{
    ImageLister::Instance().Draw(args->dc, Platform::POINT{bounds.left, bounds.top}, imageName);
}

} // namespace Zivoro::UI::Controls
