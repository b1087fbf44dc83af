#include "Views/CIDropTargetImpl.h"

#include "Platform/Ole/StorageMedium.h"
#include "Views/FormatRegistry.h"

using namespace Platform;

namespace {

// Control copies, Shift moves; with neither, a move when the source allows one.
DWORD ChooseEffect(DWORD keyState, DWORD allowed)
{
    const DWORD copy = allowed & DROPEFFECT_COPY;
    const DWORD move = allowed & DROPEFFECT_MOVE;
    DWORD effect = 0;
    if (keyState & MK_CONTROL)
        effect = copy;
    else if (keyState & MK_SHIFT)
        effect = move;
    if (effect == 0)
        effect = move ? move : copy;
    return effect;
}

} // namespace

CIDropTargetImpl::CIDropTargetImpl()
    : acceptedFormats{FORMATETC{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}}
{
}

CIDropTargetImpl::~CIDropTargetImpl() = default;

void CIDropTargetImpl::SetEnabled(bool value)
{
    enabled = value;
}

bool CIDropTargetImpl::Accepts(IDataObject* data)
{
    if (!data)
        return false;
    for (FORMATETC& format : acceptedFormats)
        if (data->QueryGetData(&format) == S_OK)
            return true;
    return FormatRegistry::Instance().OffersAny(data);
}

HRESULT CIDropTargetImpl::DragEnter(IDataObject* data, DWORD keyState, POINTL, DWORD* effect)
{
    if (!effect)
        return E_INVALIDARG;
    if (!enabled) {
        accept = false;
        return S_OK;
    }
    accept = Accepts(data);
    *effect = accept ? ChooseEffect(keyState, *effect) : DROPEFFECT_NONE;
    return S_OK;
}

HRESULT CIDropTargetImpl::DragOver(DWORD keyState, POINTL, DWORD* effect)
{
    if (!effect)
        return E_INVALIDARG;
    *effect = accept ? ChooseEffect(keyState, *effect) : DROPEFFECT_NONE;
    return S_OK;
}

HRESULT CIDropTargetImpl::DragLeave()
{
    return S_OK;
}

HRESULT CIDropTargetImpl::Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect)
{
    if (!effect)
        return E_INVALIDARG;
    if (!accept || !data) {
        *effect = DROPEFFECT_NONE;
        return S_FALSE;
    }
    *effect = ChooseEffect(keyState, *effect);
    FORMATETC files{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium;
    if (data->GetData(&files, &medium) == S_OK) {
        GlobalLock(medium.hGlobal);
        OnDropFiles(medium.hGlobal);
        GlobalUnlock(medium.hGlobal);
        ReleaseStgMedium(&medium);
        return S_OK;
    }
    FORMATETC bitmap{CF_BITMAP, nullptr, DVASPECT_CONTENT, -1, TYMED_GDI};
    if (data->GetData(&bitmap, &medium) == S_OK) {
        OnDropBitmap(medium.hBitmap);
        ReleaseStgMedium(&medium);
        return S_OK;
    }
    if (FormatRegistry::Instance().OffersAny(data))
        OnDropCustom(data, keyState, point, effect);
    return S_OK;
}

void CIDropTargetImpl::OnDropFiles(HDROP) {}

void CIDropTargetImpl::OnDropBitmap(HBITMAP) {}

void CIDropTargetImpl::OnDropCustom(IDataObject*, DWORD, POINTL, DWORD*) {}
