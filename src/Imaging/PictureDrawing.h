#pragma once
// Drawing a picture fitted into a rectangle for display.

#include "Imaging/Picture.h"
#include "Platform/Win/WinTypes.h"

namespace Platform::Gdiplus {
class Graphics;
}

// Draws the picture at the size the longer-side fit rule gives for the rectangle,
// centred in it (integer divisions); nothing for a null picture. A failure is kept
// as the graphics' last status.
void DrawPictureFitted(Platform::Gdiplus::Graphics& graphics, const PictureHandle& picture, const Platform::RECT& rect);
