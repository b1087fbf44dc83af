#pragma once
// Moves a form's window while the mouse is dragged from a spot no control took.

#include "Platform/Win/WinTypes.h"

class ControlBase;

class FormDrager {
public:
    virtual ~FormDrager() = default;

    // pt in client coordinates of the root's window.
    void BeginDrag(ControlBase& root, Platform::POINT pt);
    void DragTo(Platform::POINT pt);
    void EndDrag() { dragging = 0; }
    int IsDragging() const { return dragging; }

    std::int32_t dragging = 0;
    Platform::POINT start;
    Platform::RECT windowRect;
    Platform::HWND window = nullptr;
};
