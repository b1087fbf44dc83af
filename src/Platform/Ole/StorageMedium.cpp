#include "Platform/Ole/StorageMedium.h"

#include "Platform/Com/Unknown.h"
#include "Platform/Gdi/GdiObjects.h"

namespace Platform {

void ReleaseStgMedium(STGMEDIUM* medium)
{
    if (!medium)
        return;
    if (medium->pUnkForRelease)
        medium->pUnkForRelease->Release();
    else if (medium->tymed == TYMED_HGLOBAL)
        GlobalFree(medium->hGlobal);
    else if (medium->tymed == TYMED_GDI)
        DeleteObject(medium->hBitmap);
    *medium = STGMEDIUM{};
}

} // namespace Platform
