#pragma once
// A transparent ARGB drawing surface for one skin image, with the few shapes the
// skin is made of: framed panels on whole pixels, discs, strokes and captions. At a
// density of 2 or 3 the same drawing in the same coordinates has that many pixels per
// unit, for screens of that device pixel ratio.

#include <cairo.h>

#include <cstdint>
#include <string>

struct Colour {
    double r = 0;
    double g = 0;
    double b = 0;
    double a = 1;

    // From 0xRRGGBB.
    static Colour Rgb(std::uint32_t rgb, double alpha = 1.0);
};

class ArtCanvas {
public:
    ArtCanvas(int width, int height, int density = 1);
    ~ArtCanvas();
    ArtCanvas(const ArtCanvas&) = delete;
    ArtCanvas& operator=(const ArtCanvas&) = delete;

    cairo_t* Context() const { return cr; }
    // In drawing units; the picture is density times as large.
    int Width() const { return width; }
    int Height() const { return height; }

    // A rounded rectangle covering whole pixels, filled, with a one-pixel border
    // inside its edge.
    void Panel(int x, int y, int w, int h, double radius, Colour fill, Colour border);
    void Disc(double cx, double cy, double radius, Colour colour);
    void SetPen(Colour colour, double lineWidth);
    void SetColour(Colour colour);

    // Captions in the CJK UI font; size in pixels, vertically centred on centreY.
    double TextWidth(const std::string& text, double size) const;
    void Text(const std::string& text, double size, double x, double centreY, Colour colour);

    // Writes the surface as a PNG file; false when it cannot be written.
    bool Save(const std::string& path) const;
    // Writes the surface laid over an opaque background as a 24-bit BMP file (bottom-up
    // rows padded to four bytes), the form bitmap resources take.
    bool SaveBitmap(const std::string& path, Colour background) const;

private:
    int width;
    int height;
    cairo_surface_t* surface;
    cairo_t* cr;
    cairo_font_options_t* fontOptions;
};

void RoundedRectPath(cairo_t* cr, double x, double y, double w, double h, double radius);
