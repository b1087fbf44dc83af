#include "Imaging/HslColor.h"

#include <algorithm>

HslColor RgbToHsl(int red, int green, int blue)
{
    const int mx = std::max({red, green, blue});
    const int mn = std::min({red, green, blue});
    HslColor hsl;
    hsl.lightness = static_cast<std::uint8_t>(((mx + mn) * 255 + 255) / 510);
    if (mx == mn) {
        hsl.saturation = 0;
        hsl.hue = 170;
        return hsl;
    }
    const int sum = mx + mn;
    const int range = mx - mn;
    hsl.saturation = static_cast<std::uint8_t>(hsl.lightness <= 127 ? (range * 255 + sum / 2) / sum
                                                                    : (range * 255 + (510 - sum) / 2) / (510 - sum));
    const int rd = ((mx - red) * 42 + range / 2) / range;
    const int gd = ((mx - green) * 42 + range / 2) / range;
    const int bd = ((mx - blue) * 42 + range / 2) / range;
    int hue;
    if (red == mx)
        hue = bd - gd;
    else if (green == mx)
        hue = 85 + rd - bd;
    else
        hue = 170 + gd - rd;
    hsl.hue = static_cast<std::uint8_t>(hue & 0xFF);
    return hsl;
}

namespace {

float HueToChannel(float m1, float m2, float x)
{
    if (x > 360.0f)
        x -= 360.0f;
    else if (x < 0.0f)
        x += 360.0f;
    if (x < 60.0f)
        return m1 + (m2 - m1) * x / 60.0f;
    if (x < 180.0f)
        return m2;
    if (x < 240.0f)
        return m1 + (m2 - m1) * (240.0f - x) / 60.0f;
    return m1;
}

std::uint8_t ToByte(float value)
{
    return static_cast<std::uint8_t>(std::clamp(static_cast<int>(value * 255.0f), 0, 255));
}

} // namespace

void HslToRgb(const HslColor& hsl, std::uint8_t& red, std::uint8_t& green, std::uint8_t& blue)
{
    const float h = static_cast<float>(hsl.hue) * 360.0f / 255.0f;
    const float s = static_cast<float>(hsl.saturation) / 255.0f;
    const float l = static_cast<float>(hsl.lightness) / 255.0f;
    const float m2 = l <= 0.5f ? l * (1.0f + s) : l + s - l * s;
    const float m1 = 2.0f * l - m2;
    if (s == 0.0f) {
        red = green = blue = ToByte(l);
        return;
    }
    red = ToByte(HueToChannel(m1, m2, h + 120.0f));
    green = ToByte(HueToChannel(m1, m2, h));
    blue = ToByte(HueToChannel(m1, m2, h - 120.0f));
}
