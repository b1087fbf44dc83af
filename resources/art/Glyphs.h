#pragma once
// Icon shapes drawn in a 16 × 16 unit square; GlyphSpace maps that square onto a
// box of the image.

#include "ArtCanvas.h"

class GlyphSpace {
public:
    GlyphSpace(cairo_t* cr, double x, double y, double size);
    ~GlyphSpace();
    GlyphSpace(const GlyphSpace&) = delete;
    GlyphSpace& operator=(const GlyphSpace&) = delete;

private:
    cairo_t* cr;
};

enum class Turn { Left, Right };

void TurnArrow(ArtCanvas& canvas, Colour colour, Turn turn, double lineWidth);
void Cross(ArtCanvas& canvas, Colour colour, double inset, double lineWidth);
void Magnifier(ArtCanvas& canvas, Colour colour);
void CheckMark(ArtCanvas& canvas, Colour colour, double lineWidth);
void Pencil(ArtCanvas& canvas, Colour colour);
void TrashCan(ArtCanvas& canvas, Colour colour);
void Plus(ArtCanvas& canvas, Colour colour, double inset, double lineWidth);
void UpArrow(ArtCanvas& canvas, Colour colour);
void StopSquare(ArtCanvas& canvas, Colour colour);
void Chevron(ArtCanvas& canvas, Colour colour, Turn side, double lineWidth);
void InfoMark(ArtCanvas& canvas, Colour colour);
void MaximiseBox(ArtCanvas& canvas, Colour colour);
void RestoreBoxes(ArtCanvas& canvas, Colour colour);
