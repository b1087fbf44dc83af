#include "Control/ControlDropTarget.h"

#include "Control/MainView.h"

using namespace Platform;

namespace {

// Copy when the source allows it and the base took the data; nothing otherwise.
HRESULT CopyOnly(HRESULT hr, DWORD allowed, DWORD* effect)
{
    if (effect && *effect != DROPEFFECT_NONE)
        *effect = allowed & DROPEFFECT_COPY;
    return hr;
}

} // namespace

ControlDropTarget::ControlDropTarget(MainView* view) : view(view) {}

HRESULT ControlDropTarget::DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect)
{
    const DWORD allowed = effect ? *effect : DROPEFFECT_NONE;
    return CopyOnly(CIDropTargetImpl::DragEnter(data, keyState, point, effect), allowed, effect);
}

HRESULT ControlDropTarget::DragOver(DWORD keyState, POINTL point, DWORD* effect)
{
    const DWORD allowed = effect ? *effect : DROPEFFECT_NONE;
    return CopyOnly(CIDropTargetImpl::DragOver(keyState, point, effect), allowed, effect);
}

HRESULT ControlDropTarget::Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect)
{
    const DWORD allowed = effect ? *effect : DROPEFFECT_NONE;
    // A source that allows no copy would learn that its files were moved: refuse it.
    if (effect && !(allowed & DROPEFFECT_COPY)) {
        *effect = DROPEFFECT_NONE;
        return S_FALSE;
    }
    return CopyOnly(CIDropTargetImpl::Drop(data, keyState, point, effect), allowed, effect);
}

void ControlDropTarget::OnDropFiles(HDROP drop)
{
    if (view)
        view->OnDropFiles(drop);
}
