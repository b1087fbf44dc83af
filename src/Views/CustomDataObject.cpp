#include "Views/CustomDataObject.h"

#include "Platform/Ole/StorageMedium.h"
#include "Views/FormatRegistry.h"

#include <cstring>

using namespace Platform;

namespace {

// A new block with the bytes of source; null when source holds nothing or memory runs out.
HGLOBAL CopyBlock(HGLOBAL source)
{
    const void* from = GlobalLock(source);
    if (!from)
        return nullptr;
    const std::size_t size = GlobalSize(source);
    HGLOBAL copy = GlobalAlloc(GMEM_FIXED, size);
    if (void* to = GlobalLock(copy)) {
        std::memcpy(to, from, size);
        GlobalUnlock(copy);
    } else {
        copy = GlobalFree(copy);
    }
    GlobalUnlock(source);
    return copy;
}

} // namespace

CustomDataObject::~CustomDataObject()
{
    ReleaseStgMedium(&medium);
}

HRESULT CustomDataObject::QueryGetData(FORMATETC* format)
{
    if (!format)
        return E_POINTER;
    const bool matches =
        (format->tymed & stored.tymed) && format->cfFormat == stored.cfFormat && format->dwAspect == stored.dwAspect;
    return matches ? S_OK : DV_E_FORMATETC;
}

HRESULT CustomDataObject::GetData(FORMATETC* format, STGMEDIUM* out)
{
    if (!out)
        return E_POINTER;
    if (const HRESULT offered = QueryGetData(format); offered != S_OK)
        return offered;
    if (medium.tymed != TYMED_HGLOBAL)
        return DV_E_FORMATETC;
    const HGLOBAL copy = CopyBlock(medium.hGlobal);
    if (!copy)
        return E_FAIL;
    *out = STGMEDIUM{};
    out->tymed = medium.tymed;
    out->hGlobal = copy;
    return S_OK;
}

HRESULT CustomDataObject::SetData(FORMATETC* format, STGMEDIUM* given, BOOL release)
{
    if (!format || !given)
        return E_POINTER;
    if (!release)
        return E_NOTIMPL;
    ReleaseStgMedium(&medium);
    stored = *format;
    medium = *given;
    return S_OK;
}

void CustomDataObject::SetItemId(std::uint32_t value, const std::wstring& name)
{
    SetBlock(&value, sizeof value, name);
}

void CustomDataObject::SetBlock(const void* bytes, std::size_t size, const std::wstring& name)
{
    const HGLOBAL block = GlobalAlloc(GMEM_FIXED, size);
    void* copy = GlobalLock(block);
    if (!copy) {
        GlobalFree(block);
        return;
    }
    std::memcpy(copy, bytes, size);
    GlobalUnlock(block);
    FORMATETC format = FormatRegistry::Instance().LookupFormat(name);
    STGMEDIUM holding;
    holding.tymed = TYMED_HGLOBAL;
    holding.hGlobal = block;
    SetData(&format, &holding, TRUE);
}
