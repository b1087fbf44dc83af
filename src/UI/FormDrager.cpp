#include "UI/FormDrager.h"

#include "Platform/Win/WinConstants.h"
#include "Platform/Win/WindowGeometry.h"
#include "UI/ControlBase.h"

using namespace Platform;

void FormDrager::BeginDrag(ControlBase& root, POINT pt)
{
    window = root.GetHwnd();
    dragging = 1;
    start = pt;
    ClientToScreen(window, &start);
    GetWindowRect(window, &windowRect);
}

void FormDrager::DragTo(POINT pt)
{
    if (!dragging)
        return;
    ClientToScreen(window, &pt);
    SetWindowPos(window, nullptr, windowRect.left + pt.x - start.x, windowRect.top + pt.y - start.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
}
