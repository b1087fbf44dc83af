#pragma once
// Off-screen painting of a control tree by its host window.

#include "Platform/Win/WinTypes.h"

class ControlBase;

namespace Zivoro::UI {

// The form host's WM_PAINT: nothing when the window is hidden; otherwise the tree
// paints into the back buffer (kept between paints) through a memory context, with a
// second memory context as scratch and a graphics on the first, and the root's bounds
// are copied to the window.
void PaintFormTree(ControlBase& root, Platform::HWND window, Platform::HBITMAP backBuffer);
// The control window's drawing: a memory context and bitmap of the drawing
// rectangle's size, the origin moved so that client coordinates land in it, the same
// context as dc and scratch; the rectangle is copied to the target.
void PaintControlWindowTree(ControlBase& root, Platform::HDC target, const Platform::RECT& drawing);

} // namespace Zivoro::UI
