#pragma once
// JPEG files as cameras write them: an Exif block (APP1) right after the start marker,
// whose first image directory holds chosen entries. And a picture of four coloured
// quadrants whose corners show at once how it was turned or mirrored.

#include "Gdiplus/TestPictures.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace ExifJpeg {

struct Entry {
    std::uint16_t tag;
    std::uint16_t type;
    std::uint32_t count;
    std::uint32_t value; // a SHORT of count 1 sits in the first two bytes of the field
};

constexpr std::uint16_t OrientationTag = 0x0112;
constexpr std::uint16_t Short = 3;
constexpr std::uint16_t Long = 4;

// "Exif\0\0", then a TIFF header and one image directory with the entries.
inline std::vector<std::uint8_t> ExifPayload(const std::vector<Entry>& entries, bool bigEndian = true)
{
    std::vector<std::uint8_t> out = {'E', 'x', 'i', 'f', 0, 0};
    const auto put = [&](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            const int shift = 8 * (bigEndian ? bytes - 1 - i : i);
            out.push_back(static_cast<std::uint8_t>(value >> shift));
        }
    };
    out.push_back(bigEndian ? 'M' : 'I');
    out.push_back(bigEndian ? 'M' : 'I');
    put(42, 2);
    put(8, 4);
    put(static_cast<std::uint32_t>(entries.size()), 2);
    for (const Entry& entry : entries) {
        put(entry.tag, 2);
        put(entry.type, 2);
        put(entry.count, 4);
        if (entry.type == Short && entry.count == 1) {
            put(entry.value, 2);
            put(0, 2);
        } else {
            put(entry.value, 4);
        }
    }
    put(0, 4); // no next directory
    return out;
}

inline std::vector<std::uint8_t> WithApp1(const std::vector<std::uint8_t>& jpeg,
                                          const std::vector<std::uint8_t>& payload)
{
    const std::size_t length = payload.size() + 2;
    std::vector<std::uint8_t> out;
    out.reserve(jpeg.size() + length + 2);
    out.insert(out.end(), jpeg.begin(), jpeg.begin() + 2);
    out.insert(out.end(), {0xFF, 0xE1, static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length)});
    out.insert(out.end(), payload.begin(), payload.end());
    out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
    return out;
}

inline std::vector<std::uint8_t> WithOrientation(const std::vector<std::uint8_t>& jpeg, int orientation,
                                                 bool bigEndian = true)
{
    return WithApp1(jpeg,
                    ExifPayload({{OrientationTag, Short, 1, static_cast<std::uint32_t>(orientation)}}, bigEndian));
}

constexpr std::uint16_t ExifDirectoryTag = 0x8769;
constexpr std::uint16_t DateTimeOriginalTag = 0x9003;

// "Exif\0\0", a TIFF header, a first directory with the orientation and the pointer
// to the Exif directory, which holds DateTimeOriginal: the layout cameras write.
inline std::vector<std::uint8_t> ExifPayloadWithDate(const std::string& date, int orientation = 1,
                                                     bool bigEndian = false)
{
    // Offsets count from the TIFF header, after the six bytes of the signature.
    std::vector<std::uint8_t> payload = {'E', 'x', 'i', 'f', 0, 0};
    const auto put = [&](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            payload.push_back(static_cast<std::uint8_t>(value >> (8 * (bigEndian ? bytes - 1 - i : i))));
    };
    const auto entry = [&](std::uint16_t tag, std::uint16_t type, std::uint32_t count, std::uint32_t value) {
        put(tag, 2);
        put(type, 2);
        put(count, 4);
        if (type == Short) {
            put(value, 2);
            put(0, 2);
        } else {
            put(value, 4);
        }
    };
    constexpr std::uint32_t first = 8, exif = first + 2 + 2 * 12 + 4, text = exif + 2 + 12 + 4;
    payload.push_back(bigEndian ? 'M' : 'I');
    payload.push_back(bigEndian ? 'M' : 'I');
    put(42, 2);
    put(first, 4);
    put(2, 2);
    entry(OrientationTag, Short, 1, static_cast<std::uint32_t>(orientation));
    entry(ExifDirectoryTag, Long, 1, exif);
    put(0, 4);
    put(1, 2);
    entry(DateTimeOriginalTag, 2, static_cast<std::uint32_t>(date.size() + 1), text);
    put(0, 4);
    for (const char c : date)
        payload.push_back(static_cast<std::uint8_t>(c));
    payload.push_back(0);
    return payload;
}

// A photo-sized picture of noise, which JPEG cannot make small: several megabytes as
// a camera's would be.
inline std::vector<std::uint8_t> NoisyJpeg(int width, int height, std::uint32_t seed = 1)
{
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 4);
    std::uint32_t state = seed * 2654435761u + 1;
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        state = state * 1664525u + 1013904223u;
        pixels[i] = (i % 4 == 3) ? 255 : static_cast<std::uint8_t>(state >> 24);
    }
    const auto bitmap = TestPictures::Bitmap::FromPixels(width, height, width * 4, pixels.data());
    return TestPictures::Encode(*bitmap, TestPictures::Jpeg, 95);
}

using Colour = std::array<std::uint8_t, 3>; // blue, green, red
constexpr Colour Red{0, 0, 255}, Green{0, 255, 0}, Blue{255, 0, 0}, White{255, 255, 255};

// Red top left, green top right, blue bottom left, white bottom right, stored as a
// JPEG of quality 100.
inline std::vector<std::uint8_t> QuadrantJpeg(int width, int height)
{
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Colour& c = y < height / 2 ? (x < width / 2 ? Red : Green) : (x < width / 2 ? Blue : White);
            std::uint8_t* p = &pixels[(static_cast<std::size_t>(y) * width + x) * 4];
            p[0] = c[0];
            p[1] = c[1];
            p[2] = c[2];
            p[3] = 255;
        }
    }
    const auto bitmap = TestPictures::Bitmap::FromPixels(width, height, width * 4, pixels.data());
    return TestPictures::Encode(*bitmap, TestPictures::Jpeg, 100);
}

// The colours at the centres of the top-left, top-right, bottom-left and bottom-right
// quadrants of the bitmap, each snapped to the nearest quadrant colour.
inline std::array<Colour, 4> Quadrants(const TestPictures::Bitmap& bitmap)
{
    const std::vector<std::uint8_t> pixels = TestPictures::Pixels(bitmap);
    const int width = static_cast<int>(bitmap.GetWidth());
    const int height = static_cast<int>(bitmap.GetHeight());
    std::array<Colour, 4> found{};
    if (pixels.empty())
        return found;
    const int xs[] = {width / 4, width * 3 / 4};
    const int ys[] = {height / 4, height * 3 / 4};
    for (int i = 0; i < 4; ++i) {
        const std::uint8_t* p = &pixels[(static_cast<std::size_t>(ys[i / 2]) * width + xs[i % 2]) * 4];
        for (const Colour& candidate : {Red, Green, Blue, White}) {
            if (std::abs(p[0] - candidate[0]) < 40 && std::abs(p[1] - candidate[1]) < 40 &&
                std::abs(p[2] - candidate[2]) < 40)
                found[static_cast<std::size_t>(i)] = candidate;
        }
    }
    return found;
}

} // namespace ExifJpeg
