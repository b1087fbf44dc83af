#include "Platform/Win/HeadlessBackend.h"

#include "Platform/Text/TextConv.h"

#include <cstdio>

namespace Platform {
namespace {
constexpr int kTaskBarHeight = 40;
}

HeadlessBackend::HeadlessBackend(int screenWidth, int screenHeight, double deviceScale)
    : width(screenWidth), height(screenHeight), scale(deviceScale)
{
}

int HeadlessBackend::ShowMessageBox(const std::wstring& text, const std::wstring& caption, UINT)
{
    std::fprintf(stderr, "[%s] %s\n", WideToUtf8(caption).c_str(), WideToUtf8(text).c_str());
    return IDOK;
}

RECT HeadlessBackend::ScreenRect() const
{
    return RECT{0, 0, width, height};
}

RECT HeadlessBackend::WorkArea() const
{
    return RECT{0, 0, width, height > kTaskBarHeight ? height - kTaskBarHeight : height};
}

double HeadlessBackend::DeviceScale() const
{
    return scale;
}

void HeadlessBackend::Present(HWND, const RECT&)
{
    // The surface is the presentation: screenshots read it directly.
}

void HeadlessBackend::SetCursor(HCURSOR newCursor)
{
    std::lock_guard guard(lock);
    cursor = newCursor;
}

HCURSOR HeadlessBackend::Cursor() const
{
    std::lock_guard guard(lock);
    return cursor;
}

} // namespace Platform
