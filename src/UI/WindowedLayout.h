#pragma once
// The windowed variants of the control-base slots, shared by the controls that wrap
// a system window: showing, joining the parent's tree and moving to the layout place.

#include "UI/ControlBase.h"

namespace WindowedLayout {

void SetVisible(ControlBase& control, int value);
// Sets the parent and joins its children; the caller has created the window.
void Join(ControlBase& control, ControlBase* parent);
void MoveToLayout(ControlBase& control);
// Paints a flat one-pixel border in the non-client area the window kept for it.
void PaintFlatBorder(Platform::HWND window, Platform::COLORREF color);
// Shrinks the proposed client rectangle of WM_NCCALCSIZE by one pixel on every side.
void ShrinkClientByOne(Platform::LPARAM lParam);

} // namespace WindowedLayout
