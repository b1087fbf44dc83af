#pragma once
// Pictures and windows for the editor tests: patterned pictures of any size, a
// visible owner window, input through the headless backend and pumping the loop.

#include "Imaging/Picture.h"
#include "Imaging/RasterImage.h"
#include "Platform/Gdiplus/Bitmap.h"
#include "Platform/Win/Backend.h"
#include "Platform/Win/Input.h"
#include "Platform/Win/MessageLoop.h"
#include "Platform/Win/Window.h"
#include "Platform/Win/WinConstants.h"
#include "Platform/Win/WindowGeometry.h"

#include <cstdint>
#include <vector>

namespace EditorTest {

// The colour of pixel (x, y) of a patterned picture, as blue, green, red.
inline RasterImage::Color Pattern(int x, int y)
{
    return RasterImage::Color{static_cast<std::uint8_t>(x * 7 % 251), static_cast<std::uint8_t>(y * 5 % 241),
                              static_cast<std::uint8_t>((x + 3 * y) % 199 + 40), 0};
}

inline PictureHandle PatternPicture(int width, int height)
{
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const auto c = Pattern(x, y);
            std::uint8_t* p = pixels.data() + (static_cast<std::size_t>(y) * width + x) * 4;
            p[0] = c.blue;
            p[1] = c.green;
            p[2] = c.red;
            p[3] = 255;
        }
    return Platform::Gdiplus::Bitmap::FromPixels(width, height, width * 4, pixels.data());
}

// Colour of the pixel at column x, row y counted from the top.
inline RasterImage::Color At(const RasterImage& raster, int x, int y)
{
    RasterImage::Color c = raster.PixelColor(x, raster.GetHeight() - 1 - y);
    c.alpha = 0;
    return c;
}

inline void Pump()
{
    Platform::MSG message;
    while (Platform::PeekMessageW(&message, nullptr, 0, 0, Platform::PM_REMOVE))
        Platform::DispatchMessageW(&message);
}

inline Platform::HWND OwnerWindow(int x, int y, int width, int height)
{
    using namespace Platform;
    static const bool registered = [] {
        WNDCLASSW windowClass;
        windowClass.lpfnWndProc = &DefWindowProcW;
        windowClass.lpszClassName = L"EditorTestOwner";
        return RegisterClassW(&windowClass) != 0;
    }();
    (void)registered;
    return CreateWindowExW(0, L"EditorTestOwner", L"", WS_POPUP | WS_VISIBLE, x, y, width, height, nullptr, nullptr,
                           nullptr, nullptr);
}

// Input at a client point of a window.
inline void Mouse(Platform::HWND window, Platform::Backend::MouseAction action, Platform::POINT client)
{
    Platform::ClientToScreen(window, &client);
    Platform::CurrentBackend().InjectMouse(action, client);
}

inline void Drag(Platform::HWND window, Platform::POINT from, Platform::POINT to)
{
    using Action = Platform::Backend::MouseAction;
    Mouse(window, Action::Move, from);
    Mouse(window, Action::LeftDown, from);
    Mouse(window, Action::Move, to);
    Mouse(window, Action::LeftUp, to);
    Pump();
}

inline void Key(Platform::UINT key)
{
    Platform::CurrentBackend().InjectKey(key, true);
    Platform::CurrentBackend().InjectKey(key, false);
}

} // namespace EditorTest

#include "Biz/ImageData.h"
#include "Platform/Win/Timer.h"

#include <cmath>
#include <filesystem>
#include <unistd.h>
#include <fstream>
#include <functional>
#include <string>

namespace EditorTest {

// A small landscape, so that screenshots show something like a photo: sky, sun,
// hills and a lake.
inline PictureHandle LandscapePicture(int width, int height)
{
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double u = static_cast<double>(x) / width, v = static_cast<double>(y) / height;
            const double hill = 0.55 + 0.08 * std::sin(u * 9.0) + 0.05 * std::sin(u * 23.0 + 1.0);
            const double sun = std::hypot(u - 0.72, (v - 0.25) * height / width);
            double r, g, b;
            if (v > 0.8) {
                r = 40 + 60 * (v - 0.8) * 5, g = 90 + 40 * std::sin(u * 40.0) * 0.2, b = 150;
            } else if (v > hill) {
                r = 60 + 40 * v, g = 120 + 60 * (1 - v), b = 50;
            } else if (sun < 0.06) {
                r = 255, g = 225, b = 120;
            } else {
                r = 120 + 100 * v, g = 170 + 60 * v, b = 240;
            }
            std::uint8_t* p = pixels.data() + (static_cast<std::size_t>(y) * width + x) * 4;
            p[0] = static_cast<std::uint8_t>(std::clamp(b, 0.0, 255.0));
            p[1] = static_cast<std::uint8_t>(std::clamp(g, 0.0, 255.0));
            p[2] = static_cast<std::uint8_t>(std::clamp(r, 0.0, 255.0));
            p[3] = 255;
        }
    return Platform::Gdiplus::Bitmap::FromPixels(width, height, width * 4, pixels.data());
}

// A PNG file of the picture in the test's temporary folder; its path.
inline std::wstring WritePhoto(const PictureHandle& picture, const std::string& name)
{
    // The process id keeps test programs that run at once out of each other's files.
    const auto path =
        std::filesystem::temp_directory_path() / ("trellan-editor-" + std::to_string(getpid()) + "-" + name + ".png");
    const EncodedPicture encoded = EncodePicture(picture, L"png");
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(encoded.bytes.get()), static_cast<std::streamsize>(encoded.length));
    return path.wstring();
}

// Runs whileUp with the active window once the loop of a modal form (started next)
// is waiting.
inline void WhenUp(Platform::HWND owner, std::function<void(Platform::HWND)> whileUp)
{
    static std::function<void(Platform::HWND)> pending;
    pending = std::move(whileUp);
    Platform::SetTimer(owner, 91, 1, [](Platform::HWND window, Platform::UINT, Platform::UINT_PTR, Platform::DWORD) {
        Platform::KillTimer(window, 91);
        Pump();
        pending(Platform::GetActiveWindow());
    });
}

} // namespace EditorTest
