#include "Platform/Ole/FileDropDataObject.h"

#include "Platform/Ole/DropFiles.h"

namespace Platform {

FileDropDataObject::FileDropDataObject(std::vector<std::wstring> paths, POINT point)
    : paths(std::move(paths)), point(point)
{
}

HRESULT FileDropDataObject::GetData(FORMATETC* format, STGMEDIUM* medium)
{
    if (!medium)
        return E_POINTER;
    if (const HRESULT offered = QueryGetData(format); offered != S_OK)
        return offered;
    const HGLOBAL list = CreateDropFiles(paths, point);
    if (!list)
        return E_OUTOFMEMORY;
    *medium = STGMEDIUM{};
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = list;
    return S_OK;
}

HRESULT FileDropDataObject::QueryGetData(FORMATETC* format)
{
    if (!format)
        return E_POINTER;
    const bool offered =
        format->cfFormat == CF_HDROP && format->dwAspect == DVASPECT_CONTENT && (format->tymed & TYMED_HGLOBAL);
    return offered ? S_OK : DV_E_FORMATETC;
}

HRESULT FileDropDataObject::SetData(FORMATETC*, STGMEDIUM*, BOOL)
{
    return E_NOTIMPL;
}

} // namespace Platform
