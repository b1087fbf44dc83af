#include "Platform/Gdiplus/Graphics.h"

#include "Platform/Gdi/CairoCanvas.h"
#include "Platform/Gdi/DeviceContext.h"
#include "Platform/Gdi/DeviceContextObject.h"
#include "Platform/Gdi/TextLayout.h"
#include "Platform/Gdiplus/Bitmap.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

namespace Platform::Gdiplus {

// A picture's pixels as a premultiplied Cairo surface.
struct CachedBitmap::Pixels {
    cairo_surface_t* surface = nullptr;
    ~Pixels()
    {
        if (surface)
            cairo_surface_destroy(surface);
    }
};

namespace {

std::uint8_t Premultiply(std::uint8_t channel, std::uint8_t alpha)
{
    return static_cast<std::uint8_t>((channel * alpha + 127) / 255);
}

// Null with a status when the picture has no pixels to give.
std::unique_ptr<CachedBitmap::Pixels> Convert(const Bitmap* image, Status& status)
{
    if (!image || image->GetWidth() == 0 || image->GetHeight() == 0) {
        status = Status::InvalidParameter;
        return nullptr;
    }
    BitmapData data;
    status = image->LockBits(nullptr, ImageLockModeRead, PixelFormat32bppARGB, &data);
    if (status != Status::Ok)
        return nullptr;
    auto pixels = std::make_unique<CachedBitmap::Pixels>();
    pixels->surface =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(data.Width), static_cast<int>(data.Height));
    cairo_surface_flush(pixels->surface);
    std::uint8_t* out = cairo_image_surface_get_data(pixels->surface);
    const int outStride = cairo_image_surface_get_stride(pixels->surface);
    for (UINT y = 0; y < data.Height; ++y) {
        const auto* in = static_cast<const std::uint8_t*>(data.Scan0) + static_cast<std::ptrdiff_t>(y) * data.Stride;
        std::uint8_t* row = out + static_cast<std::ptrdiff_t>(y) * outStride;
        for (UINT x = 0; x < data.Width; ++x) {
            const std::uint8_t alpha = in[4 * x + 3];
            for (int c = 0; c < 3; ++c)
                row[4 * x + c] = Premultiply(in[4 * x + c], alpha);
            row[4 * x + 3] = alpha;
        }
    }
    cairo_surface_mark_dirty(pixels->surface);
    image->UnlockBits(&data);
    return pixels;
}

void SetSource(cairo_t* cairo, const Color& color)
{
    cairo_set_source_rgba(cairo, color.GetR() / 255.0, color.GetG() / 255.0, color.GetB() / 255.0,
                          color.GetA() / 255.0);
}

// Paints the source area of a picture surface into the destination, scaled.
void Paint(DeviceContextObject& dc, cairo_surface_t* picture, const Rect& destination, const Rect& source)
{
    if (destination.Width <= 0 || destination.Height <= 0 || source.Width <= 0 || source.Height <= 0)
        return;
    const RECT box{destination.X, destination.Y, destination.X + destination.Width, destination.Y + destination.Height};
    CairoCanvas canvas(dc, &box);
    cairo_t* cairo = canvas.Get();
    // Placed on whole device pixels, so a picture made for the device lands one for one.
    const RECT device = canvas.ToDevice(box);
    const int deviceWidth = device.right - device.left, deviceHeight = device.bottom - device.top;
    canvas.UseDevicePixels();
    cairo_translate(cairo, device.left, device.top);
    cairo_scale(cairo, static_cast<double>(deviceWidth) / source.Width,
                static_cast<double>(deviceHeight) / source.Height);
    // The source area as a picture of its own, so that scaling never blends in the
    // pixels around it (a cell of an icon strip shows only that cell).
    cairo_surface_t* area =
        cairo_surface_create_for_rectangle(picture, source.X, source.Y, source.Width, source.Height);
    cairo_set_source_surface(cairo, area, 0, 0);
    cairo_pattern_t* pattern = cairo_get_source(cairo);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    const bool sameSize = deviceWidth == source.Width && deviceHeight == source.Height;
    cairo_pattern_set_filter(pattern, sameSize ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_GOOD);
    cairo_rectangle(cairo, 0, 0, source.Width, source.Height);
    cairo_fill(cairo);
    cairo_surface_destroy(area);
    canvas.MarkDrawn(box);
}

// Whole-pixel bands of a pen along one side: centred on the path, odd pixels inside.
int BandStart(int line, int width)
{
    return line - (width - 1) / 2;
}

} // namespace

Graphics::Graphics(HDC dc) : dc(dc)
{
    if (!FindDC(dc))
        lastStatus = Status::InvalidParameter;
}

double Graphics::DeviceScale() const
{
    return GetDeviceScale(dc);
}

Status Graphics::GetLastStatus()
{
    return std::exchange(lastStatus, Status::Ok);
}

Status Graphics::SetLastStatus(Status status)
{
    if (status != Status::Ok)
        lastStatus = status;
    return status;
}

Status Graphics::DrawImage(const Bitmap* image, int x, int y)
{
    if (!image)
        return SetLastStatus(Status::InvalidParameter);
    const int width = static_cast<int>(image->GetWidth()), height = static_cast<int>(image->GetHeight());
    return DrawImage(image, Rect{x, y, width, height}, 0, 0, width, height, UnitPixel);
}

Status Graphics::DrawImage(const Bitmap* image, int x, int y, int width, int height)
{
    if (!image)
        return SetLastStatus(Status::InvalidParameter);
    return DrawImage(image, Rect{x, y, width, height}, 0, 0, static_cast<int>(image->GetWidth()),
                     static_cast<int>(image->GetHeight()), UnitPixel);
}

Status Graphics::DrawImage(const Bitmap* image, const Rect& destination, int sourceX, int sourceY, int sourceWidth,
                           int sourceHeight, Unit)
{
    auto target = FindDC(dc);
    if (!target || !target->target)
        return SetLastStatus(Status::InvalidParameter);
    Status status = Status::Ok;
    auto pixels = Convert(image, status);
    if (!pixels)
        return SetLastStatus(status);
    Paint(*target, pixels->surface, destination, Rect{sourceX, sourceY, sourceWidth, sourceHeight});
    return Status::Ok;
}

Status Graphics::DrawCachedBitmap(const CachedBitmap* cached, int x, int y)
{
    auto target = FindDC(dc);
    if (!target || !target->target || !cached || !cached->pixels)
        return SetLastStatus(Status::InvalidParameter);
    cairo_surface_t* surface = cached->pixels->surface;
    const int width = cairo_image_surface_get_width(surface), height = cairo_image_surface_get_height(surface);
    Paint(*target, surface, Rect{x, y, width, height}, Rect{0, 0, width, height});
    return Status::Ok;
}

Status Graphics::FillRectangle(const SolidBrush* brush, int x, int y, int width, int height)
{
    return FillRectangle(brush, RectF{static_cast<float>(x), static_cast<float>(y), static_cast<float>(width),
                                      static_cast<float>(height)});
}

Status Graphics::FillRectangle(const SolidBrush* brush, const RectF& rect)
{
    auto target = FindDC(dc);
    if (!target || !target->target || !brush || rect.Width < 0 || rect.Height < 0)
        return SetLastStatus(Status::InvalidParameter);
    CairoCanvas canvas(*target);
    SetSource(canvas.Get(), brush->GetColor());
    cairo_rectangle(canvas.Get(), rect.X, rect.Y, rect.Width, rect.Height);
    cairo_fill(canvas.Get());
    canvas.MarkDrawn(RECT{static_cast<int>(std::floor(rect.X)), static_cast<int>(std::floor(rect.Y)),
                          static_cast<int>(std::ceil(rect.X + rect.Width)),
                          static_cast<int>(std::ceil(rect.Y + rect.Height))});
    return Status::Ok;
}

Status Graphics::DrawRectangle(const Pen* pen, int x, int y, int width, int height)
{
    auto target = FindDC(dc);
    if (!target || !target->target || !pen || width < 0 || height < 0)
        return SetLastStatus(Status::InvalidParameter);
    const int thickness = std::max(1, static_cast<int>(std::lround(pen->GetWidth())));
    const int left = BandStart(x, thickness), top = BandStart(y, thickness);
    const int right = BandStart(x + width, thickness) + thickness,
              bottom = BandStart(y + height, thickness) + thickness;
    CairoCanvas canvas(*target);
    cairo_t* cairo = canvas.Get();
    SetSource(cairo, pen->GetColor());
    cairo_set_fill_rule(cairo, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_rectangle(cairo, left, top, right - left, bottom - top);
    if (right - left > 2 * thickness && bottom - top > 2 * thickness)
        cairo_rectangle(cairo, left + thickness, top + thickness, right - left - 2 * thickness,
                        bottom - top - 2 * thickness);
    cairo_fill(cairo);
    canvas.MarkDrawn(RECT{left, top, right, bottom});
    return Status::Ok;
}

Status Graphics::DrawString(const wchar_t* text, int length, const Font* font, const RectF& layout,
                            const StringFormat* format, const SolidBrush* brush)
{
    auto target = FindDC(dc);
    if (!target || !target->target || !text || !font || !brush)
        return SetLastStatus(Status::InvalidParameter);
    const StringFormat defaults;
    const StringFormat& how = format ? *format : defaults;
    FontInfo info;
    info.face = font->GetFamily();
    info.height = std::max(1, static_cast<int>(std::lround(font->GetPixelSize())));
    info.weight = font->GetStyle() & FontStyleBold ? 700 : 400;
    info.italic = font->GetStyle() & FontStyleItalic;
    TextLayout shaped(info, length < 0 ? std::wstring(text) : std::wstring(text, static_cast<std::size_t>(length)));
    const bool noWrap = how.GetFormatFlags() & StringFormatFlagsNoWrap;
    if (noWrap)
        shaped.SingleLine();
    const bool ellipsis =
        how.GetTrimming() == StringTrimmingEllipsisCharacter || how.GetTrimming() == StringTrimmingEllipsisWord;
    static constexpr TextLayout::Align aligns[] = {TextLayout::Align::Left, TextLayout::Align::Center,
                                                   TextLayout::Align::Right};
    shaped.LimitWidth(static_cast<int>(layout.Width), !noWrap, ellipsis, aligns[how.GetAlignment()]);
    if (ellipsis && !noWrap)
        shaped.LimitHeight(static_cast<int>(layout.Height));
    const SIZE size = shaped.PixelSize();
    double y = layout.Y;
    if (how.GetLineAlignment() == StringAlignmentCenter)
        y += (layout.Height - size.cy) / 2.0;
    else if (how.GetLineAlignment() == StringAlignmentFar)
        y += layout.Height - size.cy;
    const RECT box{static_cast<int>(std::floor(layout.X)), static_cast<int>(std::floor(layout.Y)),
                   static_cast<int>(std::ceil(layout.X + layout.Width)),
                   static_cast<int>(std::ceil(layout.Y + layout.Height))};
    CairoCanvas canvas(*target, &box);
    SetSource(canvas.Get(), brush->GetColor());
    shaped.Draw(canvas.Get(), layout.X, std::round(y));
    canvas.MarkDrawn(box);
    return Status::Ok;
}

CachedBitmap::CachedBitmap(const Bitmap* image, Graphics*) : pixels(Convert(image, status)) {}

CachedBitmap::~CachedBitmap() = default;

} // namespace Platform::Gdiplus
