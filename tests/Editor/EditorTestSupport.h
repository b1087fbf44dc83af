#pragma once
// Pictures and windows for the editor tests: patterned pictures of any size, a
// visible owner window, input through the headless backend and pumping the loop.

#include "Imaging/Picture.h"
#include "Imaging/RasterImage.h"
#include "Platform/Gdiplus/Bitmap.h"
#include "Platform/Win/Backend.h"
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
