#include "ArtCanvas.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <vector>

namespace {

const char* const uiFont = "WenQuanYi Micro Hei";

PangoLayout* MakeLayout(cairo_t* cr, const cairo_font_options_t* options, const std::string& text, double size)
{
    PangoLayout* layout = pango_cairo_create_layout(cr);
    pango_cairo_context_set_font_options(pango_layout_get_context(layout), options);
    pango_layout_context_changed(layout);
    PangoFontDescription* font = pango_font_description_from_string(uiFont);
    pango_font_description_set_absolute_size(font, size * PANGO_SCALE);
    pango_layout_set_font_description(layout, font);
    pango_font_description_free(font);
    pango_layout_set_text(layout, text.c_str(), -1);
    return layout;
}

} // namespace

Colour Colour::Rgb(std::uint32_t rgb, double alpha)
{
    return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0, alpha};
}

void RoundedRectPath(cairo_t* cr, double x, double y, double w, double h, double radius)
{
    constexpr double quarter = std::numbers::pi / 2;
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - radius, y + radius, radius, -quarter, 0);
    cairo_arc(cr, x + w - radius, y + h - radius, radius, 0, quarter);
    cairo_arc(cr, x + radius, y + h - radius, radius, quarter, 2 * quarter);
    cairo_arc(cr, x + radius, y + radius, radius, 2 * quarter, 3 * quarter);
    cairo_close_path(cr);
}

ArtCanvas::ArtCanvas(int width, int height, int density)
    : width(width), height(height),
      surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width * density, height * density)),
      cr(cairo_create(surface)), fontOptions(cairo_font_options_create())
{
    cairo_scale(cr, density, density);
    cairo_font_options_set_antialias(fontOptions, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(fontOptions, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(fontOptions, CAIRO_HINT_METRICS_ON);
}

ArtCanvas::~ArtCanvas()
{
    cairo_font_options_destroy(fontOptions);
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
}

void ArtCanvas::Panel(int x, int y, int w, int h, double radius, Colour fill, Colour border)
{
    RoundedRectPath(cr, x + 0.5, y + 0.5, w - 1, h - 1, radius);
    SetColour(fill);
    cairo_fill_preserve(cr);
    SetPen(border, 1);
    cairo_stroke(cr);
}

void ArtCanvas::Disc(double cx, double cy, double radius, Colour colour)
{
    cairo_new_sub_path(cr);
    cairo_arc(cr, cx, cy, radius, 0, 2 * std::numbers::pi);
    SetColour(colour);
    cairo_fill(cr);
}

void ArtCanvas::SetPen(Colour colour, double lineWidth)
{
    SetColour(colour);
    cairo_set_line_width(cr, lineWidth);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
}

void ArtCanvas::SetColour(Colour colour)
{
    cairo_set_source_rgba(cr, colour.r, colour.g, colour.b, colour.a);
}

double ArtCanvas::TextWidth(const std::string& text, double size) const
{
    PangoLayout* layout = MakeLayout(cr, fontOptions, text, size);
    PangoRectangle logical;
    pango_layout_get_pixel_extents(layout, nullptr, &logical);
    g_object_unref(layout);
    return logical.width;
}

void ArtCanvas::Text(const std::string& text, double size, double x, double centreY, Colour colour)
{
    PangoLayout* layout = MakeLayout(cr, fontOptions, text, size);
    PangoRectangle logical;
    pango_layout_get_pixel_extents(layout, nullptr, &logical);
    SetColour(colour);
    cairo_move_to(cr, x, static_cast<int>(centreY - logical.height / 2.0 + 0.5));
    pango_cairo_show_layout(cr, layout);
    g_object_unref(layout);
}

bool ArtCanvas::Save(const std::string& path) const
{
    cairo_surface_flush(surface);
    return cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

bool ArtCanvas::SaveBitmap(const std::string& path, Colour background) const
{
    cairo_surface_flush(surface);
    const int width = cairo_image_surface_get_width(surface), height = cairo_image_surface_get_height(surface);
    const std::uint32_t rowBytes = (static_cast<std::uint32_t>(width) * 3 + 3) & ~3u;
    const std::uint32_t pixelBytes = rowBytes * static_cast<std::uint32_t>(height);
    std::vector<std::uint8_t> file;
    const auto put = [&](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            file.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    };
    file.push_back('B');
    file.push_back('M');
    put(14 + 40 + pixelBytes, 4);
    put(0, 4);
    put(14 + 40, 4);
    put(40, 4);
    put(static_cast<std::uint32_t>(width), 4);
    put(static_cast<std::uint32_t>(height), 4);
    put(1, 2);
    put(24, 2);
    put(0, 4);
    put(pixelBytes, 4);
    put(2835, 4);
    put(2835, 4);
    put(0, 4);
    put(0, 4);
    const std::uint8_t* pixels = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const double under[3] = {background.b * 255, background.g * 255, background.r * 255};
    for (int y = height - 1; y >= 0; --y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(pixels + static_cast<std::ptrdiff_t>(y) * stride);
        for (int x = 0; x < width; ++x) {
            // Premultiplied ARGB: the colour already carries its alpha.
            const std::uint32_t pixel = row[x];
            const double alpha = (pixel >> 24) / 255.0;
            for (int channel = 0; channel < 3; ++channel) {
                const double value = ((pixel >> (8 * channel)) & 0xFF) + under[channel] * (1 - alpha);
                file.push_back(static_cast<std::uint8_t>(std::lround(std::min(value, 255.0))));
            }
        }
        file.resize(file.size() + (rowBytes - static_cast<std::uint32_t>(width) * 3), 0);
    }
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out)
        return false;
    const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    return std::fclose(out) == 0 && written;
}
