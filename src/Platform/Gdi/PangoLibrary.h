#pragma once
// Pango, loaded the first time text is measured or drawn. Linking it would load the
// text stack (Pango, HarfBuzz, GLib and their helpers) into every program using the
// module at start-up, whether it shows text or not.

#include <pango/pangocairo.h>

namespace Platform {

struct PangoLibrary {
    decltype(&::pango_font_description_new) font_description_new;
    decltype(&::pango_font_description_free) font_description_free;
    decltype(&::pango_font_description_set_family) font_description_set_family;
    decltype(&::pango_font_description_set_absolute_size) font_description_set_absolute_size;
    decltype(&::pango_font_description_set_weight) font_description_set_weight;
    decltype(&::pango_font_description_set_style) font_description_set_style;
    decltype(&::pango_cairo_create_layout) cairo_create_layout;
    decltype(&::pango_cairo_context_set_font_options) cairo_context_set_font_options;
    decltype(&::pango_cairo_update_context) cairo_update_context;
    decltype(&::pango_cairo_show_layout) cairo_show_layout;
    decltype(&::pango_layout_get_context) layout_get_context;
    decltype(&::pango_layout_context_changed) layout_context_changed;
    decltype(&::pango_layout_set_font_description) layout_set_font_description;
    decltype(&::pango_layout_set_text) layout_set_text;
    decltype(&::pango_layout_set_width) layout_set_width;
    decltype(&::pango_layout_set_height) layout_set_height;
    decltype(&::pango_layout_set_wrap) layout_set_wrap;
    decltype(&::pango_layout_set_ellipsize) layout_set_ellipsize;
    decltype(&::pango_layout_set_alignment) layout_set_alignment;
    decltype(&::pango_layout_set_single_paragraph_mode) layout_set_single_paragraph_mode;
    decltype(&::pango_layout_get_pixel_extents) layout_get_pixel_extents;
    decltype(&::pango_context_get_metrics) context_get_metrics;
    decltype(&::pango_font_metrics_get_ascent) font_metrics_get_ascent;
    decltype(&::pango_font_metrics_get_descent) font_metrics_get_descent;
    decltype(&::pango_font_metrics_get_approximate_char_width) font_metrics_get_approximate_char_width;
    decltype(&::pango_font_metrics_unref) font_metrics_unref;
    decltype(&::g_object_unref) object_unref;

    // The library, loaded on the first call (any thread); null when it cannot be
    // loaded or lacks a function.
    static const PangoLibrary* Get();
};

} // namespace Platform
