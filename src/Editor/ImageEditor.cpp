#include "Editor/ImageEditor.h"

#include "Imaging/RasterConversion.h"
#include "Platform/Gdi/BackBuffer.h"
#include "Platform/Gdi/Gdi.h"
#include "Platform/Gdiplus/Bitmap.h"
#include "Platform/Win/Input.h"
#include "Platform/Win/Painting.h"
#include "Platform/Win/Region.h"
#include "Platform/Win/ScrollBar.h"
#include "Platform/Win/WindowGeometry.h"

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

using namespace Platform;

namespace {

constexpr wchar_t kClassName[] = L"TrellanImageEditor";
constexpr COLORREF kSelectionColor = 0xCA7C0A;
// Posted by the worker once a large photo's full pixels are read.
constexpr UINT kFullPictureRead = WM_USER + 0x51;
// Up to this many pixels a photo is read at once: it decodes in a few tens of
// milliseconds, and showing a reduced decode first would only add work.
constexpr std::int64_t kReadAtOncePixels = 4'000'000;

// The picture's pixels as an opaque raster (photos are opaque: without an alpha
// plane they are copied and drawn faster); null when it has none.
std::shared_ptr<RasterImage> ReadRaster(const PictureHandle& picture)
{
    auto raster = std::make_shared<RasterImage>(PictureToRaster(picture));
    raster->DropOpaqueAlpha();
    return raster->IsEmpty() ? nullptr : raster;
}

// A distance in shown pixels as picture pixels.
int ToPicturePixels(int shownPixels, int pictureLength, int shownLength)
{
    if (shownLength == pictureLength || shownLength < 1)
        return shownPixels;
    return static_cast<int>(std::lround(static_cast<double>(shownPixels) * pictureLength / shownLength));
}

} // namespace

// Written once by the worker under the lock (raster, then done); the canvas reads
// them under the lock.
struct ImageEditor::PendingPicture {
    std::mutex lock;
    std::condition_variable read;
    bool done = false;
    std::shared_ptr<RasterImage> raster;
    // The full pixels scaled to the fitted size (device pixels) the canvas had when it asked, as the
    // canvas itself would scale them; empty when the picture is shown at that size.
    RasterImage fitted;
    SIZE fittedSize{};
};

ImageEditor::ImageEditor()
{
    tracker.SetColor(kSelectionColor);
    tracker.rectChanged.connect([this](RECT) { OnSelectionChanged(); });
}

ImageEditor::~ImageEditor()
{
    DestroyWithFont(hwnd);
}

HWND ImageEditor::Create(HWND parentWindow)
{
    RegisterClassOnce(kClassName, nullptr);
    hwnd = CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, parentWindow, nullptr, nullptr, this);
    EnableScrollBar(hwnd, SB_BOTH, ESB_DISABLE_BOTH);
    tracker.window = hwnd;
    return hwnd;
}

void ImageEditor::DestroyWindows()
{
    DestroyWithFont(hwnd);
    tracker.window = nullptr;
}

void ImageEditor::GetContainerRect(RECT* rect)
{
    *rect = RECT{};
    if (hwnd)
        GetClientRect(GetParent(hwnd), rect);
}

void ImageEditor::UpdateLayout()
{
    const RECT placed = ComputeBounds();
    MoveWindow(hwnd, placed.left, placed.top, placed.right - placed.left, placed.bottom - placed.top, TRUE);
    RefreshView();
}

void ImageEditor::LoadPicture(const PictureHandle& picture)
{
    pending.reset();
    reduced = RasterImage();
    scaledValid = false;
    brightness = contrast = saturation = 0;
    const bool large = picture && std::int64_t{picture->GetWidth()} * picture->GetHeight() > kReadAtOncePixels;
    Repaint();
    if (!large) {
        source = shaped = ReadRaster(picture);
        RefreshView();
        return;
    }
    source = shaped = nullptr;
    imageSize = SIZE{static_cast<int>(picture->GetWidth()), static_cast<int>(picture->GetHeight())};
    const FittedSize fit =
        FitInside(imageSize.cx, imageSize.cy, std::max<int>(bounds.right, 1), std::max<int>(bounds.bottom, 1));
    const SIZE fittedSize = DeviceSize(SIZE{fit.width, fit.height});
    if (const std::shared_ptr<RasterImage> small =
            ReadRaster(MakeFittedThumbnail(picture, fittedSize.cx, fittedSize.cy)))
        reduced.TakeOver(*small);
    pending = std::make_shared<PendingPicture>();
    auto readFull = [picture, loading = pending, window = hwnd, fittedSize] {
        std::shared_ptr<RasterImage> raster = ReadRaster(picture);
        RasterImage fitted;
        if (raster && fittedSize != SIZE{raster->GetWidth(), raster->GetHeight()} && fitted.CopyFrom(*raster))
            fitted.ScaleTo(fittedSize.cx, fittedSize.cy);
        {
            std::lock_guard guard(loading->lock);
            loading->raster = std::move(raster);
            loading->fitted.TakeOver(fitted);
            loading->fittedSize = fittedSize;
            loading->done = true;
        }
        loading->read.notify_all();
        // Dropped when the editor has closed meanwhile.
        PostMessageW(window, kFullPictureRead, 0, 0);
    };
    try {
        std::thread(readFull).detach();
    } catch (const std::system_error&) {
        // No thread to be had: the photo is read here, as a small one is.
        readFull();
    }
    RefreshView();
}

bool ImageEditor::WaitForFullPicture()
{
    if (pending) {
        std::unique_lock guard(pending->lock);
        pending->read.wait(guard, [this] { return pending->done; });
        guard.unlock();
        TakeFullPicture();
    }
    return shaped != nullptr;
}

void ImageEditor::TakeFullPicture()
{
    std::shared_ptr<RasterImage> raster;
    SIZE fittedSize{};
    {
        std::lock_guard guard(pending->lock);
        if (!pending->done)
            return;
        raster = std::move(pending->raster);
        scaled.TakeOver(pending->fitted);
        fittedSize = pending->fittedSize;
    }
    pending.reset();
    reduced = RasterImage();
    source = shaped = raster;
    RefreshView();
    // The worker's fitted view serves while the canvas still shows that size.
    scaledValid = !scaled.IsEmpty() && DeviceSize(shown) == fittedSize;
}

// --- Edits -----------------------------------------------------------------------

template <typename Edit> void ImageEditor::Reshape(Edit edit)
{
    if (!WaitForFullPicture())
        return;
    auto next = std::make_shared<RasterImage>();
    if (!edit(*shaped, *next))
        return;
    shaped = std::move(next);
    scaledValid = false;
}

void ImageEditor::ResizeTo(int width, int height)
{
    if (width < 1 || height < 1)
        return;
    Reshape([&](const RasterImage& from, RasterImage& to) { return to.CopyFrom(from) && to.ScaleTo(width, height); });
    RefreshView();
    Repaint();
}

void ImageEditor::ShowActualPixels()
{
    fitted = false;
    tracker.rect = contentRect = RECT{};
    RefreshView();
    Repaint();
}

void ImageEditor::FitToWindow()
{
    fitted = true;
    tracker.rect = contentRect = RECT{};
    RefreshView();
    Repaint();
}

void ImageEditor::ResetEdits()
{
    if (!HasPicture())
        return;
    shaped = source;
    scaledValid = false;
    brightness = contrast = saturation = 0;
    RefreshView();
    Repaint();
}

void ImageEditor::TurnLeft()
{
    Reshape([](const RasterImage& from, RasterImage& to) { return to.CopyFrom(from) && to.RotateLeft(); });
    RefreshView();
    Repaint();
}

void ImageEditor::TurnRight()
{
    Reshape([](const RasterImage& from, RasterImage& to) { return to.CopyFrom(from) && to.RotateRight(); });
    RefreshView();
    Repaint();
}

void ImageEditor::SetBrightness(int value)
{
    if (!HasPicture())
        return;
    brightness = value;
    Repaint();
}

void ImageEditor::SetContrast(int value)
{
    if (!HasPicture())
        return;
    contrast = value;
    Repaint();
}

void ImageEditor::ApplySaturation(int value)
{
    if (!HasPicture())
        return;
    saturation = value;
    Repaint();
}

void ImageEditor::CropToSelection()
{
    if (tracker.IsEmpty())
        return;
    const RECT area = ToPicture(tracker.GetOuterRect());
    Reshape([&](const RasterImage& from, RasterImage& to) {
        return from.CopyArea(area.left, area.top, area.right, area.bottom, to);
    });
    tracker.rect = contentRect = RECT{};
    RefreshView();
    Repaint();
}

void ImageEditor::ClearSelection()
{
    if (tracker.IsEmpty())
        return;
    tracker.rect = contentRect = RECT{};
    Repaint();
}

bool ImageEditor::IsEdited() const
{
    return shaped != source || brightness || contrast || saturation;
}

RasterImage ImageEditor::GetWorkingImage()
{
    RasterImage result;
    if (WaitForFullPicture() && result.CopyFrom(*shaped))
        ApplyTone(result);
    return result;
}

RasterImage ImageEditor::TakeWorkingImage()
{
    RasterImage result;
    if (!WaitForFullPicture())
        return result;
    // Without geometric edits the shaped picture is the source; dropping both leaves
    // the pixels to this call alone, and they are taken rather than copied.
    std::shared_ptr<const RasterImage> last = std::exchange(shaped, nullptr);
    source.reset();
    scaled = RasterImage();
    scaledValid = false;
    if (last.use_count() == 1)
        result.TakeOver(const_cast<RasterImage&>(*last)); // made non-const by Reshape or ReadRaster
    else
        result.CopyFrom(*last);
    ApplyTone(result);
    return result;
}

void ImageEditor::ApplyTone(RasterImage& raster) const
{
    if (brightness || contrast)
        raster.AdjustLight(brightness, contrast);
    if (saturation)
        raster.Saturate(saturation);
}

// --- View ------------------------------------------------------------------------

POINT ImageEditor::PictureOrigin() const
{
    const int cw = bounds.right, ch = bounds.bottom;
    return POINT{shown.cx < cw ? (cw - shown.cx) / 2 : -GetScrollPos(hwnd, SB_HORZ),
                 shown.cy < ch ? (ch - shown.cy) / 2 : -GetScrollPos(hwnd, SB_VERT)};
}

void ImageEditor::RefreshView()
{
    if (!HasPicture())
        return;
    if (shaped)
        imageSize = SIZE{shaped->GetWidth(), shaped->GetHeight()};
    const SIZE client{bounds.right, bounds.bottom};
    const FittedSize fit = FitInside(imageSize.cx, imageSize.cy, client.cx, client.cy);
    const SIZE next = fitted ? SIZE{fit.width, fit.height} : imageSize;
    if (next != shown)
        scaledValid = false;
    shown = next;
    EnableScrollBar(hwnd, SB_BOTH, ESB_DISABLE_BOTH);
    for (const int bar : {SB_HORZ, SB_VERT}) {
        const int length = bar == SB_HORZ ? shown.cx : shown.cy;
        const int page = bar == SB_HORZ ? client.cx : client.cy;
        if (length <= page) {
            SetScrollPos(hwnd, bar, 0, TRUE);
            continue;
        }
        EnableScrollBar(hwnd, bar, ESB_ENABLE_BOTH);
        SCROLLINFO info;
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
        // Positions run from 0 to length - page, so the last column shown is the
        // picture's last.
        info.nMax = length - 1;
        info.nPage = static_cast<UINT>(page);
        SetScrollInfo(hwnd, bar, &info, TRUE);
    }
    tracker.UpdateBounds(PictureOrigin(), shown.cx, shown.cy);
}

void ImageEditor::Repaint()
{
    InvalidateRect(hwnd, nullptr, FALSE);
}

SIZE ImageEditor::DeviceSize(SIZE logical) const
{
    HDC screen = GetDC(hwnd);
    const double scale = GetDeviceScale(screen);
    ReleaseDC(hwnd, screen);
    return SIZE{std::min(imageSize.cx, static_cast<int>(std::lround(logical.cx * scale))),
                std::min(imageSize.cy, static_cast<int>(std::lround(logical.cy * scale)))};
}

bool ImageEditor::VisiblePixels(RasterImage& pixels, RECT& place)
{
    const POINT origin = PictureOrigin();
    const RECT visible{std::max(0, -origin.x), std::max(0, -origin.y), std::min(shown.cx, bounds.right - origin.x),
                       std::min(shown.cy, bounds.bottom - origin.y)};
    if (visible.left >= visible.right || visible.top >= visible.bottom)
        return false;
    // Pixel for pixel, or a fitted view of a photo whose reduced decode is missing,
    // needs the full pixels.
    if (pending && (shown == imageSize || reduced.IsEmpty()))
        WaitForFullPicture();
    const RasterImage* whole = shaped ? shaped.get() : &reduced;
    RECT copied = visible;
    if (shown != imageSize || !shaped) {
        // A screen whose scale changed needs the view again at its pixels.
        const SIZE device = DeviceSize(shown);
        if (!scaledValid || SIZE{scaled.GetWidth(), scaled.GetHeight()} != device)
            scaledValid = scaled.CopyFrom(*whole) && scaled.ScaleTo(device.cx, device.cy);
        if (!scaledValid)
            return false;
        whole = &scaled;
        const auto toDevice = [](int logical, int deviceLength, int logicalLength) {
            return static_cast<int>(std::lround(static_cast<double>(logical) * deviceLength / logicalLength));
        };
        copied = RECT{toDevice(visible.left, device.cx, shown.cx), toDevice(visible.top, device.cy, shown.cy),
                      toDevice(visible.right, device.cx, shown.cx), toDevice(visible.bottom, device.cy, shown.cy)};
    }
    if (!whole->CopyArea(copied.left, copied.top, copied.right, copied.bottom, pixels))
        return false;
    ApplyTone(pixels);
    place = RECT{origin.x + visible.left, origin.y + visible.top, origin.x + visible.right, origin.y + visible.bottom};
    return true;
}

void ImageEditor::Paint()
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd, &paint);
    const RECT client{0, 0, bounds.right, bounds.bottom};
    {
        BackBuffer buffer(dc, client);
        HDC memory = buffer.Dc();
        SetBkColor(memory, backgroundColor);
        ExtTextOutW(memory, 0, 0, ETO_OPAQUE, &client, L"", 0, nullptr);
        RasterImage pixels;
        RECT place;
        if (HasPicture() && VisiblePixels(pixels, place))
            pixels.DrawTo(memory, place.left, place.top, place.right - place.left, place.bottom - place.top);
        if (HasPicture() && !tracker.IsEmpty())
            tracker.Draw(memory);
        buffer.Present();
    }
    EndPaint(hwnd, &paint);
}

void ImageEditor::OnScroll(int bar, int code)
{
    SCROLLINFO info;
    info.fMask = SIF_POS | SIF_TRACKPOS;
    GetScrollInfo(hwnd, bar, &info);
    const int page = bar == SB_HORZ ? bounds.right : bounds.bottom;
    const int most = std::max(0, (bar == SB_HORZ ? shown.cx : shown.cy) - page);
    const int p = info.nPos;
    int position;
    switch (code) {
    case SB_LINEUP:
        position = p - 1;
        break;
    case SB_LINEDOWN:
        position = p + 1;
        break;
    case SB_PAGEUP:
        position = p - page;
        break;
    case SB_PAGEDOWN:
        position = p + page;
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        // The bar's own track position holds what a 16-bit message cannot.
        position = info.nTrackPos;
        break;
    default:
        return;
    }
    position = std::clamp(position, 0, most);
    SetScrollPos(hwnd, bar, position, TRUE);
    tracker.UpdateBounds(PictureOrigin(), shown.cx, shown.cy);
    if (!tracker.IsEmpty()) {
        if (bar == SB_HORZ) {
            tracker.rect.left = contentRect.left - position;
            tracker.rect.right = contentRect.right - position;
        } else {
            tracker.rect.top = contentRect.top - position;
            tracker.rect.bottom = contentRect.bottom - position;
        }
    }
    Repaint();
}

// --- Selection -------------------------------------------------------------------

RECT ImageEditor::ToPicture(const RECT& area) const
{
    const POINT origin = PictureOrigin();
    return RECT{ToPicturePixels(area.left - origin.x, imageSize.cx, shown.cx),
                ToPicturePixels(area.top - origin.y, imageSize.cy, shown.cy),
                ToPicturePixels(area.right - origin.x, imageSize.cx, shown.cx),
                ToPicturePixels(area.bottom - origin.y, imageSize.cy, shown.cy)};
}

void ImageEditor::OnButtonDown(POINT point)
{
    SetFocus(hwnd);
    if (!cropEnabled || !HasPicture())
        return;
    if (tracker.HitTest(point) >= 0) {
        tracker.Track(hwnd, point, 1);
        tracker.rect = tracker.Normalized();
        RecordSelection();
    } else if (!tracker.IsEmpty()) {
        const RECT outer = tracker.GetOuterRect();
        InvalidateRect(hwnd, &outer, FALSE);
        tracker.rect = contentRect = RECT{};
    } else if (PtInRect(&tracker.bounds, point)) {
        anchorPoint = point;
        tracker.rect = RECT{point.x, point.y, point.x + 1, point.y + 1};
        selecting = 1;
        SetCapture(hwnd);
    }
}

void ImageEditor::OnPointerMove(POINT point)
{
    if (!selecting)
        return;
    tracker.rect = RECT{anchorPoint.x, anchorPoint.y, point.x, point.y};
    tracker.ClampToBounds();
    OnSelectionChanged();
}

void ImageEditor::OnButtonUp()
{
    if (!selecting)
        return;
    selecting = 0;
    tracker.rect = tracker.Normalized();
    ReleaseCapture();
    RecordSelection();
}

void ImageEditor::RecordSelection()
{
    contentRect = tracker.rect;
    OffsetRect(&contentRect, GetScrollPos(hwnd, SB_HORZ), GetScrollPos(hwnd, SB_VERT));
}

void ImageEditor::OnSelectionChanged()
{
    if (!IsRectEmpty(drawnArea)) {
        InvalidateRect(hwnd, &drawnArea, FALSE);
        drawnArea = RECT{};
    }
    const RECT outer = tracker.GetOuterRect();
    const RECT cut = ToPicture(outer);
    selectionSized(std::to_wstring(cut.right - cut.left), std::to_wstring(cut.bottom - cut.top));
    InvalidateRect(hwnd, &outer, FALSE);
    drawnArea = outer;
    tracker.ClampToBounds();
}

// --- Messages --------------------------------------------------------------------

bool ImageEditor::ProcessWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    result = 0;
    const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
    case WM_SIZE:
        bounds = RECT{0, 0, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (hwnd)
            RefreshView();
        return true;
    case WM_PAINT:
        Paint();
        return true;
    case kFullPictureRead:
        if (pending) {
            TakeFullPicture();
            Repaint();
        }
        return true;
    case WM_ERASEBKGND:
        result = 1;
        return true;
    case WM_SETCURSOR:
        if (!tracker.UpdateCursor(hwnd, LOWORD(static_cast<std::uintptr_t>(lParam))))
            SetCursor(LoadCursorW(nullptr, IDC_ARROW));
        result = 1;
        return true;
    case WM_HSCROLL:
    case WM_VSCROLL:
        OnScroll(message == WM_HSCROLL ? SB_HORZ : SB_VERT, LOWORD(wParam));
        return true;
    case WM_LBUTTONDOWN:
        OnButtonDown(point);
        return true;
    case WM_MOUSEMOVE:
        OnPointerMove(point);
        return true;
    case WM_LBUTTONUP:
        OnButtonUp();
        return true;
    case WM_CAPTURECHANGED:
        selecting = 0;
        return true;
    case WM_MOUSEWHEEL:
        SendMessageW(hwnd, WM_VSCROLL, GET_WHEEL_DELTA_WPARAM(wParam) > 0 ? SB_LINEUP : SB_LINEDOWN, 0);
        return true;
    default:
        return false;
    }
}
