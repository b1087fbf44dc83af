#include "Platform/Gdi/TextLayout.h"

#include "Platform/Gdi/PangoLibrary.h"
#include "Platform/Text/TextConv.h"

#include <algorithm>

namespace Platform {
namespace {

constexpr const char* kFallbackFaces = ",WenQuanYi Micro Hei,Noto Sans CJK SC,sans-serif";

// A context for measuring, shared by the thread.
cairo_t* MeasuringCairo()
{
    struct Holder {
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
        cairo_t* cairo = cairo_create(surface);
        ~Holder()
        {
            cairo_destroy(cairo);
            cairo_surface_destroy(surface);
        }
    };
    thread_local Holder holder;
    return holder.cairo;
}

PangoFontDescription* Describe(const PangoLibrary& pango, const FontInfo& font)
{
    PangoFontDescription* description = pango.font_description_new();
    const std::string families = WideToUtf8(font.face) + kFallbackFaces;
    pango.font_description_set_family(description, families.c_str());
    pango.font_description_set_absolute_size(description, std::max(font.height, 1) * PANGO_SCALE);
    pango.font_description_set_weight(description, font.weight >= 600 ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango.font_description_set_style(description, font.italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    return description;
}

PangoLayout* MakeLayout(const PangoLibrary* pango, const FontInfo& font)
{
    if (!pango)
        return nullptr;
    PangoLayout* layout = pango->cairo_create_layout(MeasuringCairo());
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    pango->cairo_context_set_font_options(pango->layout_get_context(layout), options);
    cairo_font_options_destroy(options);
    PangoFontDescription* description = Describe(*pango, font);
    pango->layout_set_font_description(layout, description);
    pango->font_description_free(description);
    return layout;
}

// Metrics in proportion to the font's height, for when Pango cannot be loaded.
FontMetrics EstimatedMetrics(const FontInfo& font)
{
    const int height = std::max(font.height, 1);
    return FontMetrics{height - height / 5, height / 5, std::max(height / 2, 1)};
}

} // namespace

// Without Pango (the library could not be loaded) text has no size and draws nothing.
TextLayout::TextLayout(const FontInfo& font, const std::wstring& text)
    : pango(PangoLibrary::Get()), layout(MakeLayout(pango, font))
{
    if (!layout)
        return;
    const std::string utf8 = WideToUtf8(text);
    pango->layout_set_text(layout, utf8.c_str(), static_cast<int>(utf8.size()));
}

TextLayout::~TextLayout()
{
    if (layout)
        pango->object_unref(layout);
}

void TextLayout::LimitWidth(int width, bool wrap, bool ellipsize, Align align)
{
    limit = std::max(width, 0);
    if (!layout)
        return;
    pango->layout_set_width(layout, limit * PANGO_SCALE);
    pango->layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
    if (ellipsize)
        pango->layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
    else if (!wrap)
        pango->layout_set_width(layout, -1);
    static constexpr PangoAlignment alignments[] = {PANGO_ALIGN_LEFT, PANGO_ALIGN_CENTER, PANGO_ALIGN_RIGHT};
    pango->layout_set_alignment(layout, alignments[static_cast<int>(align)]);
}

void TextLayout::SingleLine()
{
    if (layout)
        pango->layout_set_single_paragraph_mode(layout, TRUE);
}

void TextLayout::LimitHeight(int height)
{
    if (layout)
        pango->layout_set_height(layout, std::max(height, 1) * PANGO_SCALE);
}

SIZE TextLayout::PixelSize() const
{
    if (!layout)
        return SIZE{0, 0};
    PangoRectangle logical;
    pango->layout_get_pixel_extents(layout, nullptr, &logical);
    return SIZE{logical.width, logical.height};
}

void TextLayout::Draw(_cairo* cairo, double x, double y) const
{
    if (!layout)
        return;
    pango->cairo_update_context(cairo, pango->layout_get_context(layout));
    pango->layout_context_changed(layout);
    cairo_move_to(cairo, x, y);
    pango->cairo_show_layout(cairo, layout);
}

FontMetrics TextLayout::Metrics(const FontInfo& font)
{
    const PangoLibrary* pango = PangoLibrary::Get();
    if (!pango)
        return EstimatedMetrics(font);
    PangoLayout* layout = MakeLayout(pango, font);
    PangoContext* context = pango->layout_get_context(layout);
    PangoFontDescription* description = Describe(*pango, font);
    PangoFontMetrics* metrics = pango->context_get_metrics(context, description, nullptr);
    FontMetrics result;
    result.ascent = PANGO_PIXELS_CEIL(pango->font_metrics_get_ascent(metrics));
    result.descent = PANGO_PIXELS_CEIL(pango->font_metrics_get_descent(metrics));
    result.averageWidth = PANGO_PIXELS(pango->font_metrics_get_approximate_char_width(metrics));
    pango->font_metrics_unref(metrics);
    pango->font_description_free(description);
    pango->object_unref(layout);
    return result;
}

} // namespace Platform
