#include "Imaging/PictureDrawing.h"

#include "Platform/Gdiplus/Bitmap.h"
#include "Platform/Gdiplus/Graphics.h"

void DrawPictureFitted(Platform::Gdiplus::Graphics& graphics, const PictureHandle& picture, const Platform::RECT& rect)
{
    if (!picture)
        return;
    const FittedSize fitted = FitScale(static_cast<int>(picture->GetWidth()), static_cast<int>(picture->GetHeight()),
                                       rect.right - rect.left, rect.bottom - rect.top);
    const int x = (rect.left + rect.right) / 2 - fitted.width / 2;
    const int y = (rect.top + rect.bottom) / 2 - fitted.height / 2;
    graphics.DrawImage(picture.get(), x, y, fitted.width, fitted.height);
}
