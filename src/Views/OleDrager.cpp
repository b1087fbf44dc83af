#include "Views/OleDrager.h"

#include "Platform/Ole/DragDrop.h"
#include "Platform/Win/Window.h"
#include "Views/IDropSourceImpl.h"

using namespace Platform;

OleDrager::OleDrager() : source(new IDropSourceImpl) {}

OleDrager::~OleDrager()
{
    source->Release();
}

void OleDrager::Prepare(IDataObject* prepared)
{
    pending = true;
    data = prepared;
}

bool OleDrager::IsPending() const
{
    return pending;
}

void OleDrager::Run(HWND window)
{
    if (data && IsWindow(window)) {
        DWORD effect = DROPEFFECT_NONE;
        DoDragDrop(data.Get(), source, DROPEFFECT_COPY, &effect);
    }
    pending = false;
}

void OleDrager::Cancel()
{
    pending = false;
}
