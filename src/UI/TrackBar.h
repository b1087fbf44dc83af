#pragma once
// A horizontal slider in a window of its own. The value is not stored: it follows
// from the thumb's position. A press anywhere grabs the thumb where it is; the thumb
// then moves with the mouse and valueChanged is raised on every move of the drag.

#include "UI/ControlBase.h"
#include "UI/NativeControl.h"

#include "Platform/Signal.h"

class TrackBar : public ControlBase, public NativeControl<TrackBar> {
public:
    TrackBar() = default;
    ~TrackBar() override;

    virtual bool ProcessWindowMessage(Platform::HWND window, Platform::UINT message, Platform::WPARAM wParam,
                                      Platform::LPARAM lParam, Platform::LRESULT& result);
    // A hidden window at the default rectangle.
    virtual Platform::HWND Create(Platform::HWND parentWindow);
    // A visible window 15 pixels high at rect; bounds become (0, 0, rect.right, 15).
    virtual Platform::HWND Create(Platform::HWND parentWindow, Platform::RECT rect);
    virtual void DrawTrack(Platform::HDC dc);
    virtual void DrawThumb(Platform::HDC dc);

    void SetVisible(int value) override;
    void OnMouseLeave() override {}
    // Moves the window to its layout place, keeping the value the thumb shows.
    void UpdateLayout() override;

    void SetRange(int low, int high);
    void SetValue(int value);
    // The value the thumb shows.
    int ValueAt(int x) const;

    Platform::Signal<void(int)> valueChanged;
    Platform::COLORREF trackColor = 0x3AAFF6;
    Platform::COLORREF trackBorderColor = 0xDDDDDD;
    Platform::COLORREF thumbColor = 0xFFFFFF;
    Platform::COLORREF thumbBorderColor = 0xCCCCCC;
    std::int32_t dragging = 0;
    std::int32_t thumbX = 0;
    std::int32_t dragThumbX = 0;
    std::int32_t minimum = 0;
    std::int32_t maximum = 100;
    std::int32_t thumbWidth = 15;
    std::int32_t dragMouseX = 0;

protected:
    void FillBackground(Platform::HDC dc);

private:
    Platform::HWND CreateWindowAt(Platform::HWND parentWindow, const Platform::RECT& rect, std::uint32_t style);
    void Paint();
    void DragTo(int mouseX);
    int Span() const { return std::abs(minimum) + std::abs(maximum); }
};

// The slider the editor uses: a slimmer thumb and a two-line track.
class ExtTrackBar : public TrackBar {
public:
    ExtTrackBar() { thumbWidth = 14; }
    void DrawTrack(Platform::HDC dc) override;
    void DrawThumb(Platform::HDC dc) override;
};
