#pragma once
// Hue, saturation and lightness as bytes, and the conversions the saturation control
// uses: integer from RGB, single precision back to RGB.

#include <cstdint>

struct HslColor {
    std::uint8_t hue = 0;
    std::uint8_t saturation = 0;
    std::uint8_t lightness = 0;
};

HslColor RgbToHsl(int red, int green, int blue);
void HslToRgb(const HslColor& hsl, std::uint8_t& red, std::uint8_t& green, std::uint8_t& blue);
