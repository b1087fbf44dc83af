#pragma once
// The crop selection: a rectangle with a one-pixel outline and eight square handles
// that the mouse draws, moves and resizes inside the picture's area. Rectangles are
// in the canvas's client coordinates. While it is being changed the rectangle may be
// turned over (right < left or bottom < top); a handle then keeps the edges it was
// built from.

#include "Platform/Win/WinTypes.h"

#include "Platform/Signal.h"

class RectTracker {
public:
    // Hit codes beside the handles 0 to 7.
    static constexpr int HitMove = 8;
    static constexpr int HitNothing = -1;

    RectTracker();
    virtual ~RectTracker();
    RectTracker(const RectTracker&) = delete;
    RectTracker& operator=(const RectTracker&) = delete;

    virtual int GetHandleSize();
    // Keeps a resized edge at least the minimum size from the opposite one.
    virtual void AdjustRect(int handle, Platform::RECT* changed);
    // Raises rectChanged.
    virtual void OnChangedRect(const Platform::RECT& changed);
    // Bit i set: handle i is shown. The middle handles go when the side is too short.
    virtual unsigned GetHandleMask();

    // The normalised rectangle grown by the handle size on every side.
    Platform::RECT GetOuterRect() const;
    Platform::RECT GetHandleRect(int handle);
    // A handle, HitMove inside the outline, or HitNothing.
    int HitTest(Platform::POINT point);
    // Runs the mouse loop that moves or resizes the rectangle from a press at point
    // until the button goes up; Esc or the right button put it back. Refused (0) while
    // any window holds the capture. Returns whether the rectangle changed.
    int Track(Platform::HWND window, Platform::POINT point, int allowInvert);
    void Draw(Platform::HDC dc);
    // For HTCLIENT over a handle or the inside: that cursor, and 1.
    int UpdateCursor(Platform::HWND window, Platform::UINT hitCode);
    // The picture's area: width x height at origin.
    void UpdateBounds(Platform::POINT origin, int width, int height);
    // Pulls the moving corner of a new selection back onto the picture.
    void ClampToBounds();
    void SetColor(Platform::COLORREF value);

    bool IsEmpty() const;
    Platform::RECT Normalized() const;

    Platform::RECT rect;
    Platform::RECT bounds;
    std::int32_t handleSize;
    Platform::SIZE minSize;
    std::int32_t allowInvert = 0;
    Platform::COLORREF color = 0;
    Platform::HWND window = nullptr;
    Platform::Signal<void(Platform::RECT)> rectChanged;

private:
    // The handle whose place a handle takes when the rectangle is turned over.
    int Turned(int handle) const;

    Platform::HPEN pen = nullptr;
};
