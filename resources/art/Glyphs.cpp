#include "Glyphs.h"

#include <cmath>
#include <initializer_list>
#include <numbers>

namespace {

constexpr double pi = std::numbers::pi;

struct Point {
    double x;
    double y;
};

void Polyline(cairo_t* cr, std::initializer_list<Point> points)
{
    cairo_move_to(cr, points.begin()->x, points.begin()->y);
    for (const Point* point = points.begin() + 1; point != points.end(); ++point)
        cairo_line_to(cr, point->x, point->y);
}

void Line(cairo_t* cr, double x1, double y1, double x2, double y2)
{
    Polyline(cr, {{x1, y1}, {x2, y2}});
}

// A square window outline on whole pixels with a two-pixel title bar.
void WindowOutline(ArtCanvas& canvas, Colour colour, double x, double y, double size)
{
    cairo_t* cr = canvas.Context();
    canvas.SetPen(colour, 1);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
    cairo_rectangle(cr, x + 0.5, y + 0.5, size - 1, size - 1);
    cairo_stroke(cr);
    cairo_rectangle(cr, x, y, size, 2);
    cairo_fill(cr);
}

} // namespace

GlyphSpace::GlyphSpace(cairo_t* cr, double x, double y, double size) : cr(cr)
{
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, size / 16.0, size / 16.0);
}

GlyphSpace::~GlyphSpace()
{
    cairo_restore(cr);
}

// An open circle turning towards the arrowhead at its top; the left turn is the
// mirror image of the right one.
void TurnArrow(ArtCanvas& canvas, Colour colour, Turn turn, double lineWidth)
{
    cairo_t* cr = canvas.Context();
    cairo_save(cr);
    if (turn == Turn::Left) {
        cairo_translate(cr, 16, 0);
        cairo_scale(cr, -1, 1);
    }
    const double cx = 8, cy = 8.5, r = 5.2;
    canvas.SetPen(colour, lineWidth);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    cairo_new_sub_path(cr);
    cairo_arc(cr, cx, cy, r, -0.1 * pi, 1.5 * pi);
    cairo_stroke(cr);
    Polyline(cr, {{cx + 3.6, cy - r}, {cx - 0.2, cy - r - 3.4}, {cx - 0.2, cy - r + 3.4}});
    cairo_close_path(cr);
    cairo_fill(cr);
    cairo_restore(cr);
}

void Cross(ArtCanvas& canvas, Colour colour, double inset, double lineWidth)
{
    cairo_t* cr = canvas.Context();
    canvas.SetPen(colour, lineWidth);
    Line(cr, inset, inset, 16 - inset, 16 - inset);
    Line(cr, 16 - inset, inset, inset, 16 - inset);
    cairo_stroke(cr);
}

void Magnifier(ArtCanvas& canvas, Colour colour)
{
    cairo_t* cr = canvas.Context();
    canvas.SetPen(colour, 1.8);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 7, 7, 4.3, 0, 2 * pi);
    cairo_stroke(cr);
    canvas.SetPen(colour, 2.6);
    Line(cr, 10.4, 10.4, 13.6, 13.6);
    cairo_stroke(cr);
}

void CheckMark(ArtCanvas& canvas, Colour colour, double lineWidth)
{
    cairo_t* cr = canvas.Context();
    canvas.SetPen(colour, lineWidth);
    Polyline(cr, {{3.6, 8.4}, {6.7, 11.4}, {12.6, 4.8}});
    cairo_stroke(cr);
}

// A pencil lying from the lower left (its point) to the upper right.
void Pencil(ArtCanvas& canvas, Colour colour)
{
    cairo_t* cr = canvas.Context();
    const double dx = std::sqrt(0.5), dy = -std::sqrt(0.5);
    const double half = 2.2;
    const double nx = -dy * half, ny = dx * half;
    const double tipX = 1.8, tipY = 14.2;
    const double baseX = tipX + 3.8 * dx, baseY = tipY + 3.8 * dy;
    const double endX = tipX + 14.4 * dx, endY = tipY + 14.4 * dy;
    const double bandX = tipX + 11.4 * dx, bandY = tipY + 11.4 * dy;
    cairo_push_group(cr);
    canvas.SetColour(colour);
    Polyline(cr, {{tipX, tipY},
                  {baseX + nx, baseY + ny},
                  {endX + nx, endY + ny},
                  {endX - nx, endY - ny},
                  {baseX - nx, baseY - ny}});
    cairo_close_path(cr);
    cairo_fill(cr);
    // The ferrule is a gap across the body (cut in a group of its own, so nothing
    // beneath the pencil is cut), so the eraser end reads as a separate part.
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_set_line_width(cr, 0.9);
    Line(cr, bandX + nx * 1.3, bandY + ny * 1.3, bandX - nx * 1.3, bandY - ny * 1.3);
    cairo_stroke(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    cairo_pop_group_to_source(cr);
    cairo_paint(cr);
}

void TrashCan(ArtCanvas& canvas, Colour colour)
{
    cairo_t* cr = canvas.Context();
    canvas.SetPen(colour, 1.4);
    Line(cr, 2.5, 4.2, 13.5, 4.2);
    cairo_stroke(cr);
    canvas.SetPen(colour, 1.2);
    Polyline(cr, {{6.1, 4.0}, {6.1, 2.2}, {9.9, 2.2}, {9.9, 4.0}});
    cairo_stroke(cr);
    canvas.SetPen(colour, 1.3);
    Polyline(cr, {{4.0, 5.6}, {4.7, 14.0}, {11.3, 14.0}, {12.0, 5.6}});
    cairo_stroke(cr);
    canvas.SetPen(colour, 1.0);
    Line(cr, 6.5, 7.0, 6.5, 12.0);
    Line(cr, 9.5, 7.0, 9.5, 12.0);
    cairo_stroke(cr);
}

void Plus(ArtCanvas& canvas, Colour colour, double inset, double lineWidth)
{
    cairo_t* cr = canvas.Context();
    canvas.SetPen(colour, lineWidth);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE);
    Line(cr, 8, inset, 8, 16 - inset);
    Line(cr, inset, 8, 16 - inset, 8);
    cairo_stroke(cr);
}

// An arrow rising out of a tray: the upload sign.
void UpArrow(ArtCanvas& canvas, Colour colour)
{
    cairo_t* cr = canvas.Context();
    canvas.SetPen(colour, 1.6);
    Line(cr, 8, 2.8, 8, 10.6);
    Polyline(cr, {{4.4, 6.2}, {8, 2.6}, {11.6, 6.2}});
    Polyline(cr, {{2.8, 10.4}, {2.8, 13.4}, {13.2, 13.4}, {13.2, 10.4}});
    cairo_stroke(cr);
}

void StopSquare(ArtCanvas& canvas, Colour colour)
{
    cairo_t* cr = canvas.Context();
    RoundedRectPath(cr, 4, 4, 8, 8, 1.2);
    canvas.SetColour(colour);
    cairo_fill(cr);
}

void Chevron(ArtCanvas& canvas, Colour colour, Turn side, double lineWidth)
{
    cairo_t* cr = canvas.Context();
    const double tip = side == Turn::Left ? 5.6 : 10.4;
    const double back = side == Turn::Left ? 10.0 : 6.0;
    canvas.SetPen(colour, lineWidth);
    Polyline(cr, {{back, 3.4}, {tip, 8}, {back, 12.6}});
    cairo_stroke(cr);
}

void InfoMark(ArtCanvas& canvas, Colour colour)
{
    cairo_t* cr = canvas.Context();
    canvas.Disc(8, 4.6, 1.1, colour);
    canvas.SetPen(colour, 2.0);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    Line(cr, 8, 6.8, 8, 12.2);
    cairo_stroke(cr);
    canvas.SetPen(colour, 1.0);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    Line(cr, 6.2, 7.3, 8.6, 7.3);
    Line(cr, 6.2, 12.2, 9.8, 12.2);
    cairo_stroke(cr);
}

void MaximiseBox(ArtCanvas& canvas, Colour colour)
{
    WindowOutline(canvas, colour, 3, 3, 10);
}

void RestoreBoxes(ArtCanvas& canvas, Colour colour)
{
    // The window behind shows only its title bar and right edge.
    cairo_t* cr = canvas.Context();
    canvas.SetPen(colour, 1);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE);
    Polyline(cr, {{12.5, 4.5}, {12.5, 10.5}, {11.5, 10.5}});
    cairo_stroke(cr);
    cairo_rectangle(cr, 5, 3, 8, 2);
    cairo_fill(cr);
    WindowOutline(canvas, colour, 3, 6, 8);
}
