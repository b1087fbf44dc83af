#include "ContactSheet.h"

#include "ArtCanvas.h"
#include "Palette.h"

#include <algorithm>
#include <array>

namespace {

constexpr int labelWidth = 140;
constexpr int spacing = 10;
const std::array<Colour, 3> backgrounds{Palette::white, Palette::lightFill, Colour::Rgb(0x4A4A4A)};

int Zoom(int width)
{
    return width >= 80 ? 2 : 5;
}

void Paste(cairo_t* cr, cairo_surface_t* image, int x, int y, int zoom, Colour background)
{
    const int w = cairo_image_surface_get_width(image) * zoom;
    const int h = cairo_image_surface_get_height(image) * zoom;
    cairo_save(cr);
    cairo_rectangle(cr, x, y, w, h);
    cairo_set_source_rgb(cr, background.r, background.g, background.b);
    cairo_fill(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, zoom, zoom);
    cairo_set_source_surface(cr, image, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_paint(cr);
    cairo_restore(cr);
}

} // namespace

void ContactSheet::Add(const std::string& name, const std::string& pngPath)
{
    entries.push_back({name, pngPath});
}

bool ContactSheet::Save(const std::string& path) const
{
    std::vector<cairo_surface_t*> images;
    int width = 0, height = spacing;
    for (const Entry& entry : entries) {
        cairo_surface_t* image = cairo_image_surface_create_from_png(entry.path.c_str());
        const int w = cairo_image_surface_get_width(image), h = cairo_image_surface_get_height(image);
        const int zoom = Zoom(w);
        width = std::max(width, labelWidth + 3 * (w + spacing) + 2 * (w * zoom + spacing));
        height += std::max(h * zoom, 16) + spacing;
        images.push_back(image);
    }
    ArtCanvas sheet(width + spacing, height);
    cairo_t* cr = sheet.Context();
    cairo_set_source_rgb(cr, 0.85, 0.85, 0.85);
    cairo_paint(cr);
    int y = spacing;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        cairo_surface_t* image = images[i];
        const int w = cairo_image_surface_get_width(image), h = cairo_image_surface_get_height(image);
        const int zoom = Zoom(w);
        sheet.Text(entries[i].name, 12, spacing, y + 8, Palette::text);
        int x = labelWidth;
        for (const Colour& background : backgrounds) {
            Paste(cr, image, x, y, 1, background);
            x += w + spacing;
        }
        for (const Colour& background : {backgrounds[1], backgrounds[2]}) {
            Paste(cr, image, x, y, zoom, background);
            x += w * zoom + spacing;
        }
        y += std::max(h * zoom, 16) + spacing;
        cairo_surface_destroy(image);
    }
    return sheet.Save(path);
}
