#include "Platform/Gdi/PangoLibrary.h"

#include "Platform/Module/SharedLibrary.h"

namespace Platform {
namespace {

const PangoLibrary* Load()
{
    // The Pango-on-Cairo library brings Pango and GObject with it; their functions
    // are found through it.
    SharedLibrary library;
    if (!library.Open(TRELLAN_PANGOCAIRO_SONAME))
        return nullptr;
    static PangoLibrary pango;
    const bool bound =
        library.Bind("pango_font_description_new", pango.font_description_new) &&
        library.Bind("pango_font_description_free", pango.font_description_free) &&
        library.Bind("pango_font_description_set_family", pango.font_description_set_family) &&
        library.Bind("pango_font_description_set_absolute_size", pango.font_description_set_absolute_size) &&
        library.Bind("pango_font_description_set_weight", pango.font_description_set_weight) &&
        library.Bind("pango_font_description_set_style", pango.font_description_set_style) &&
        library.Bind("pango_cairo_create_layout", pango.cairo_create_layout) &&
        library.Bind("pango_cairo_context_set_font_options", pango.cairo_context_set_font_options) &&
        library.Bind("pango_cairo_update_context", pango.cairo_update_context) &&
        library.Bind("pango_cairo_show_layout", pango.cairo_show_layout) &&
        library.Bind("pango_layout_get_context", pango.layout_get_context) &&
        library.Bind("pango_layout_context_changed", pango.layout_context_changed) &&
        library.Bind("pango_layout_set_font_description", pango.layout_set_font_description) &&
        library.Bind("pango_layout_set_text", pango.layout_set_text) &&
        library.Bind("pango_layout_set_width", pango.layout_set_width) &&
        library.Bind("pango_layout_set_height", pango.layout_set_height) &&
        library.Bind("pango_layout_set_wrap", pango.layout_set_wrap) &&
        library.Bind("pango_layout_set_ellipsize", pango.layout_set_ellipsize) &&
        library.Bind("pango_layout_set_alignment", pango.layout_set_alignment) &&
        library.Bind("pango_layout_set_single_paragraph_mode", pango.layout_set_single_paragraph_mode) &&
        library.Bind("pango_layout_get_pixel_extents", pango.layout_get_pixel_extents) &&
        library.Bind("pango_context_get_metrics", pango.context_get_metrics) &&
        library.Bind("pango_font_metrics_get_ascent", pango.font_metrics_get_ascent) &&
        library.Bind("pango_font_metrics_get_descent", pango.font_metrics_get_descent) &&
        library.Bind("pango_font_metrics_get_approximate_char_width", pango.font_metrics_get_approximate_char_width) &&
        library.Bind("pango_font_metrics_unref", pango.font_metrics_unref) &&
        library.Bind("g_object_unref", pango.object_unref);
    return bound ? &pango : nullptr;
}

} // namespace

const PangoLibrary* PangoLibrary::Get()
{
    static const PangoLibrary* const loaded = Load();
    return loaded;
}

} // namespace Platform
