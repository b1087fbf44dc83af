#include "Icons.h"

#include "Palette.h"

namespace {

// The list tiles' selection colour.
const Colour tileAccent = Colour::Rgb(0x54B4E9);

} // namespace

void AddIcon(ArtCanvas& canvas)
{
    canvas.Disc(8, 8, 7.5, Palette::accent);
    GlyphSpace space(canvas.Context(), 0, 0, 16);
    Plus(canvas, Palette::white, 4.5, 1.8);
}

void ToolboxIcon(ArtCanvas& canvas)
{
    // A framed photo of a hill under the sun, with the accent's upload arrow.
    canvas.Panel(0, 2, 16, 13, 1.5, Palette::white, Palette::icon);
    cairo_t* cr = canvas.Context();
    canvas.SetColour(Palette::lightFill);
    cairo_rectangle(cr, 2, 4, 12, 9);
    cairo_fill(cr);
    canvas.Disc(5, 6.5, 1.5, Colour::Rgb(0xF2B233));
    canvas.SetColour(Colour::Rgb(0x5BA85B));
    cairo_move_to(cr, 2, 13);
    cairo_line_to(cr, 6.5, 8.5);
    cairo_line_to(cr, 9, 11);
    cairo_line_to(cr, 11, 9.5);
    cairo_line_to(cr, 14, 12.5);
    cairo_line_to(cr, 14, 13);
    cairo_close_path(cr);
    cairo_fill(cr);
    canvas.Disc(12.5, 4.5, 3.5, Palette::accent);
    canvas.SetPen(Palette::white, 1.2);
    cairo_move_to(cr, 12.5, 6.8);
    cairo_line_to(cr, 12.5, 2.6);
    cairo_move_to(cr, 10.9, 4.1);
    cairo_line_to(cr, 12.5, 2.5);
    cairo_line_to(cr, 14.1, 4.1);
    cairo_stroke(cr);
}

void EditIcon(ArtCanvas& canvas)
{
    GlyphSpace space(canvas.Context(), 0, 0, 15);
    Pencil(canvas, Palette::icon);
}

void InfoIcon(ArtCanvas& canvas)
{
    canvas.Disc(16, 16, 15.5, Palette::accent);
    GlyphSpace space(canvas.Context(), 0, 0, 32);
    InfoMark(canvas, Palette::white);
}

void RotateIcon(ArtCanvas& canvas, Turn turn)
{
    GlyphSpace space(canvas.Context(), 0, 0, 16);
    TurnArrow(canvas, Palette::icon, turn, 1.7);
}

void DeleteIcon(ArtCanvas& canvas)
{
    GlyphSpace space(canvas.Context(), 0, 0, 16);
    TrashCan(canvas, Palette::icon);
}

void IconStrip(ArtCanvas& canvas)
{
    cairo_t* cr = canvas.Context();
    {
        GlyphSpace space(cr, 0, 0, 16);
        TurnArrow(canvas, Palette::white, Turn::Left, 1.8);
    }
    {
        GlyphSpace space(cr, 16, 0, 16);
        TurnArrow(canvas, Palette::white, Turn::Right, 1.8);
    }
    {
        canvas.Disc(40, 8, 7.5, Palette::danger);
        GlyphSpace space(cr, 32, 0, 16);
        Cross(canvas, Palette::white, 5, 1.7);
    }
    {
        GlyphSpace space(cr, 48, 0, 16);
        Magnifier(canvas, Palette::white);
    }
    {
        canvas.Panel(64, 0, 16, 16, 2.5, tileAccent, Colour::Rgb(0x3C9FD8));
        GlyphSpace space(cr, 64, 0, 16);
        CheckMark(canvas, Palette::white, 2.2);
    }
    GlyphSpace space(cr, 80, 0, 16);
    Pencil(canvas, Palette::white);
}

void ViewArrow(ArtCanvas& canvas, Turn side)
{
    canvas.Disc(24, 24, 22, Colour::Rgb(0x000000, 0.4));
    GlyphSpace space(canvas.Context(), 12, 12, 24);
    Chevron(canvas, Palette::white, side, 2.2);
}
