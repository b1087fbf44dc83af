#pragma once
// The picture area of the image editor: a child window with both scroll bars that
// shows the edited picture and lets the user draw, move and resize a crop selection.
//
// The canvas keeps the picture as opened (source) at its own resolution, the picture
// as shaped by the geometric edits (resize, turns, crops) and the tonal settings
// (brightness, contrast, saturation), which are applied to the shaped picture. How it
// is shown is a view, not an edit: fitted to the window (never enlarged) or pixel for
// pixel with scroll bars. A selection is drawn in window pixels and cut from the
// picture's own pixels. The full-size result is made only when it is asked for;
// painting applies the tonal settings to the visible pixels only, so dragging a
// slider over a large photo stays quick and repeated moves are merged per paint.
//
// A large photo is shown at once from a reduced decode while a worker thread reads
// its full pixels; the worker touches no window, it hands the pixels over under a
// lock and posts the canvas a message. Everything that needs the full pixels (an
// edit, the working image, actual pixels) waits for them first.

#include "Editor/RectTracker.h"
#include "Imaging/Picture.h"
#include "Imaging/RasterImage.h"
#include "UI/ControlBase.h"
#include "UI/NativeControl.h"

#include "Platform/Signal.h"

#include <memory>
#include <string>

class ImageEditor : public ControlBase, public NativeControl<ImageEditor> {
public:
    ImageEditor();
    ~ImageEditor() override;

    bool ProcessWindowMessage(Platform::HWND window, Platform::UINT message, Platform::WPARAM wParam,
                              Platform::LPARAM lParam, Platform::LRESULT& result);
    // A visible child window with both scroll bars, disabled.
    Platform::HWND Create(Platform::HWND parentWindow);
    void LoadPicture(const PictureHandle& picture);
    // False while the full pixels of a large photo are still being read.
    bool HasFullPicture() const { return !pending; }

    // Scales the picture to exactly width x height; nothing for a size below 1.
    void ResizeTo(int width, int height);
    void ShowActualPixels();
    void FitToWindow();
    // Back to the picture as opened, without tonal settings; the selection remains.
    void ResetEdits();
    void TurnLeft();
    void TurnRight();
    void SetBrightness(int value);
    void SetContrast(int value);
    void ApplySaturation(int value);
    void CropToSelection();
    void ClearSelection();
    void SetCropEnabled(int flag) { cropEnabled = flag; }

    // Whether the picture differs from the one opened.
    bool IsEdited() const;
    // The edited picture at its full resolution; empty without a picture.
    RasterImage GetWorkingImage();
    // The same, made without a copy: the canvas gives its picture up and shows
    // nothing afterwards (for OK, which closes the editor).
    RasterImage TakeWorkingImage();
    // The width and height of the edited picture.
    Platform::SIZE GetImageSize() const { return imageSize; }
    // Where the picture's top-left pixel is shown, and the size it is shown at.
    Platform::POINT PictureOrigin() const;
    Platform::SIZE ShownSize() const { return shown; }

    // The client rectangle of the parent window.
    void GetContainerRect(Platform::RECT* rect) override;
    // Moves the window to its layout place and refreshes the view.
    void UpdateLayout() override;
    void DestroyWindows() override;

    Platform::Signal<void(std::wstring, std::wstring)> selectionSized;

    std::int32_t cropEnabled = 0;
    std::int32_t selecting = 0;
    Platform::POINT anchorPoint;
    std::int32_t brightness = 0;
    std::int32_t contrast = 0;
    std::int32_t saturation = 0;
    RectTracker tracker;
    Platform::RECT drawnArea;
    Platform::RECT contentRect;
    Platform::COLORREF backgroundColor = 0xC0C0C0;

private:
    struct PendingPicture;

    bool HasPicture() const { return shaped || pending; }
    // Waits for a photo's full pixels if they are still being read; false without a
    // picture.
    bool WaitForFullPicture();
    // Takes the full pixels the worker has read, once it has.
    void TakeFullPicture();
    // Sizes, scroll bars and the selection's bounds after the picture or the window changed.
    void RefreshView();
    void Repaint();
    void Paint();
    // A fitted view's size in the device pixels of the window's screen: logical times
    // the screen's scale, never above the picture's own pixels.
    Platform::SIZE DeviceSize(Platform::SIZE logical) const;
    // The visible part of the picture, scaled as shown (a fitted view at the device's
    // pixels) and with the tonal settings, and the window rectangle it fills.
    bool VisiblePixels(RasterImage& pixels, Platform::RECT& place);
    void ApplyTone(RasterImage& raster) const;
    // Replaces the shaped picture with the result of a geometric edit of a copy of it.
    template <typename Edit> void Reshape(Edit edit);
    void OnScroll(int bar, int code);
    void OnButtonDown(Platform::POINT point);
    void OnPointerMove(Platform::POINT point);
    void OnButtonUp();
    void RecordSelection();
    void OnSelectionChanged();
    // A window rectangle as picture pixels.
    Platform::RECT ToPicture(const Platform::RECT& area) const;

    std::shared_ptr<const RasterImage> source;
    std::shared_ptr<const RasterImage> shaped;
    // Shared with the worker reading a large photo's full pixels; null once taken.
    std::shared_ptr<PendingPicture> pending;
    // The reduced decode shown until the full pixels are taken.
    RasterImage reduced;
    // The shaped picture scaled to the fitted size in device pixels, made when first
    // shown.
    RasterImage scaled;
    bool scaledValid = false;
    bool fitted = true;
    Platform::SIZE imageSize;
    Platform::SIZE shown;
};
