#include "SkinFaces.h"

#include "Glyphs.h"
#include "Palette.h"

#include <cmath>
#include <functional>

namespace {

struct ButtonLook {
    Colour fill;
    Colour border;
    Colour ink;
};

using GlyphPainter = std::function<void(ArtCanvas&, Colour)>;

const ButtonLook disabledLook{Colour::Rgb(0xF6F6F6), Palette::disabledBorder, Palette::disabledText};

ButtonLook LightLook(Face face)
{
    switch (face) {
    case Face::Normal:
        return {Palette::white, Palette::border, Palette::text};
    case Face::Hover:
        return {Colour::Rgb(0xDCECFC), Colour::Rgb(0x6FA3D6), Palette::text};
    case Face::Down:
        return {Colour::Rgb(0xC6DDF5), Colour::Rgb(0x4F8AC6), Palette::text};
    case Face::Disabled:
        break;
    }
    return disabledLook;
}

ButtonLook AccentLook(Face face)
{
    switch (face) {
    case Face::Normal:
        return {Palette::accent, Palette::accentBorder, Palette::white};
    case Face::Hover:
        return {Palette::accentHover, Palette::accent, Palette::white};
    case Face::Down:
        return {Palette::accentDown, Palette::accentDown, Palette::white};
    case Face::Disabled:
        break;
    }
    return disabledLook;
}

// A framed face with an optional glyph and a caption, centred together.
void CaptionedButton(ArtCanvas& canvas, const ButtonLook& look, const std::string& caption, double textSize,
                     const GlyphPainter& glyph = {}, double glyphSize = 0, double radius = 3)
{
    canvas.Panel(0, 0, canvas.Width(), canvas.Height(), radius, look.fill, look.border);
    const double gap = glyph ? std::round(glyphSize / 4) : 0;
    const double width = glyphSize + gap + canvas.TextWidth(caption, textSize);
    const double left = std::round((canvas.Width() - width) / 2);
    if (glyph) {
        GlyphSpace space(canvas.Context(), left, std::round((canvas.Height() - glyphSize) / 2), glyphSize);
        glyph(canvas, look.ink);
    }
    canvas.Text(caption, textSize, left + glyphSize + gap, canvas.Height() / 2.0, look.ink);
}

void PlusGlyph(ArtCanvas& canvas, Colour colour)
{
    Plus(canvas, colour, 3, 2);
}

void UpGlyph(ArtCanvas& canvas, Colour colour)
{
    UpArrow(canvas, colour);
}

} // namespace

void ButtonFace(ArtCanvas& canvas, Face face)
{
    const ButtonLook look = LightLook(face);
    canvas.Panel(0, 0, canvas.Width(), canvas.Height(), 3, look.fill, look.border);
}

void AddButton(ArtCanvas& canvas, Face face, const std::string& caption)
{
    ButtonLook look = LightLook(face);
    CaptionedButton(
        canvas, look, caption, 12,
        [&](ArtCanvas& c, Colour ink) { PlusGlyph(c, face == Face::Disabled ? ink : Palette::accent); }, 12);
}

void LargeAddButton(ArtCanvas& canvas, Face face, const std::string& caption)
{
    CaptionedButton(canvas, AccentLook(face), caption, 20, PlusGlyph, 22, 4);
}

void PostButton(ArtCanvas& canvas, Face face, const std::string& caption)
{
    CaptionedButton(canvas, AccentLook(face), caption, 12, UpGlyph, 14);
}

void PostCancelButton(ArtCanvas& canvas, const std::string& caption)
{
    const ButtonLook look{Colour::Rgb(0xFDEFEE), Colour::Rgb(0xE8B0AB), Palette::dangerText};
    CaptionedButton(canvas, look, caption, 12, StopSquare, 12);
}

void OkButton(ArtCanvas& canvas, const std::string& caption)
{
    CaptionedButton(canvas, AccentLook(Face::Normal), caption, 12);
}

void CancelButton(ArtCanvas& canvas, const std::string& caption)
{
    CaptionedButton(canvas, LightLook(Face::Normal), caption, 12);
}

void CheckBox(ArtCanvas& canvas, Checked checked, Hovered hovered)
{
    const bool hover = hovered == Hovered::Yes;
    if (checked == Checked::No) {
        canvas.Panel(0, 0, 15, 15, 2.5, hover ? Palette::lightFill : Palette::white,
                     hover ? Palette::accent : Palette::border);
        return;
    }
    canvas.Panel(0, 0, 15, 15, 2.5, hover ? Palette::accentHover : Palette::accent,
                 hover ? Palette::accent : Palette::accentBorder);
    GlyphSpace space(canvas.Context(), 0, 0, 15);
    CheckMark(canvas, Palette::white, 2.1);
}

void CloseButton(ArtCanvas& canvas, Hovered hovered)
{
    if (hovered == Hovered::Yes)
        canvas.Disc(7.5, 7.5, 7.5, Palette::danger);
    GlyphSpace space(canvas.Context(), 0, 0, 15);
    if (hovered == Hovered::Yes)
        Cross(canvas, Palette::white, 5.2, 1.6);
    else
        Cross(canvas, Palette::glyphGrey, 3.6, 1.6);
}

void ViewCloseButton(ArtCanvas& canvas, Hovered hovered)
{
    canvas.Disc(12.5, 12.5, 12, hovered == Hovered::Yes ? Palette::danger : Colour::Rgb(0x000000, 0.45));
    GlyphSpace space(canvas.Context(), 0, 0, 25);
    Cross(canvas, Palette::white, 5.4, 1.4);
}

void SizeButton(ArtCanvas& canvas, WindowButton button, Hovered hovered)
{
    Colour ink = Palette::glyphGrey;
    if (hovered == Hovered::Yes) {
        canvas.Panel(0, 0, 15, 15, 2.5, Colour::Rgb(0xDCECFC), Palette::border);
        ink = Palette::icon;
    }
    GlyphSpace space(canvas.Context(), -0.5, -0.5, 16);
    if (button == WindowButton::Maximise)
        MaximiseBox(canvas, ink);
    else
        RestoreBoxes(canvas, ink);
}

void TitleRamp(ArtCanvas& canvas)
{
    const int last = canvas.Height() - 1;
    for (int y = 0; y <= last; ++y) {
        const double t = static_cast<double>(y) / last;
        const double grey = t <= 0.5 ? 250 - 6 * (t / 0.5) : 244 - 28 * ((t - 0.5) / 0.5);
        const double level = std::round(grey) / 255.0;
        cairo_rectangle(canvas.Context(), 0, y, canvas.Width(), 1);
        canvas.SetColour({level, level, level, 1});
        cairo_fill(canvas.Context());
    }
}
