#pragma once
// The drawing records of the picture library: colours, rectangles, brushes, pens,
// fonts and string formats.

#include "Platform/Gdiplus/GdiplusTypes.h"

#include <string>

namespace Platform::Gdiplus {

using ARGB = std::uint32_t;

class Color {
public:
    Color() = default;
    Color(std::uint8_t red, std::uint8_t green, std::uint8_t blue) : Color(255, red, green, blue) {}
    Color(std::uint8_t alpha, std::uint8_t red, std::uint8_t green, std::uint8_t blue)
        : value(static_cast<ARGB>(alpha) << 24 | static_cast<ARGB>(red) << 16 | static_cast<ARGB>(green) << 8 | blue)
    {
    }
    explicit Color(ARGB argb) : value(argb) {}
    ARGB GetValue() const { return value; }
    std::uint8_t GetA() const { return static_cast<std::uint8_t>(value >> 24); }
    std::uint8_t GetR() const { return static_cast<std::uint8_t>(value >> 16); }
    std::uint8_t GetG() const { return static_cast<std::uint8_t>(value >> 8); }
    std::uint8_t GetB() const { return static_cast<std::uint8_t>(value); }

private:
    ARGB value = 0xFF000000u;
};

struct RectF {
    float X = 0;
    float Y = 0;
    float Width = 0;
    float Height = 0;
};

class SolidBrush {
public:
    explicit SolidBrush(const Color& color) : color(color) {}
    Color GetColor() const { return color; }

private:
    Color color;
};

class Pen {
public:
    explicit Pen(const Color& color, float width = 1.0f) : color(color), width(width) {}
    Color GetColor() const { return color; }
    float GetWidth() const { return width; }

private:
    Color color;
    float width;
};

enum Unit { UnitWorld = 0, UnitDisplay = 1, UnitPixel = 2, UnitPoint = 3 };
enum FontStyle { FontStyleRegular = 0, FontStyleBold = 1, FontStyleItalic = 2 };

class Font {
public:
    // A family that is not installed falls back to the installed CJK face.
    Font(const wchar_t* family, float emSize, int style = FontStyleRegular, Unit unit = UnitPoint)
        : family(family ? family : L""), emSize(emSize), style(style), unit(unit)
    {
    }
    const std::wstring& GetFamily() const { return family; }
    // The size in pixels.
    float GetPixelSize() const { return unit == UnitPoint ? emSize * 96.0f / 72.0f : emSize; }
    int GetStyle() const { return style; }

private:
    std::wstring family;
    float emSize;
    int style;
    Unit unit;
};

enum StringAlignment { StringAlignmentNear = 0, StringAlignmentCenter = 1, StringAlignmentFar = 2 };
enum StringTrimming {
    StringTrimmingNone = 0,
    StringTrimmingCharacter = 1,
    StringTrimmingWord = 2,
    StringTrimmingEllipsisCharacter = 3,
    StringTrimmingEllipsisWord = 4,
};
constexpr int StringFormatFlagsNoWrap = 0x00001000;

class StringFormat {
public:
    StringFormat() = default;
    explicit StringFormat(int flags) : flags(flags) {}
    Status SetAlignment(StringAlignment value)
    {
        alignment = value;
        return Status::Ok;
    }
    Status SetLineAlignment(StringAlignment value)
    {
        lineAlignment = value;
        return Status::Ok;
    }
    Status SetTrimming(StringTrimming value)
    {
        trimming = value;
        return Status::Ok;
    }
    Status SetFormatFlags(int value)
    {
        flags = value;
        return Status::Ok;
    }
    StringAlignment GetAlignment() const { return alignment; }
    StringAlignment GetLineAlignment() const { return lineAlignment; }
    StringTrimming GetTrimming() const { return trimming; }
    int GetFormatFlags() const { return flags; }

private:
    StringAlignment alignment = StringAlignmentNear;
    StringAlignment lineAlignment = StringAlignmentNear;
    StringTrimming trimming = StringTrimmingCharacter;
    int flags = 0;
};

} // namespace Platform::Gdiplus
