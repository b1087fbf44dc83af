#include "Platform/Gdi/Text.h"

#include "Platform/Gdi/CairoCanvas.h"
#include "Platform/Gdi/DeviceContextObject.h"
#include "Platform/Gdi/RasterOps.h"
#include "Platform/Gdi/TextLayout.h"

#include <cairo.h>

#include <cwchar>

namespace Platform {
namespace {

FontInfo SelectedFont(const DeviceContextObject& dc)
{
    FontInfo font;
    if (!GetFontInfo(dc.state.font, font))
        font.face = L"新宋体";
    return font;
}

std::wstring TakeText(const wchar_t* text, int count)
{
    if (!text)
        return std::wstring();
    return count < 0 ? std::wstring(text) : std::wstring(text, static_cast<std::size_t>(count));
}

// "&x" marks a mnemonic: the ampersand is not drawn ("&&" draws one).
std::wstring WithoutPrefixes(const std::wstring& text)
{
    std::wstring plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&' && i + 1 < text.size())
            ++i;
        plain += text[i];
    }
    return plain;
}

void DrawLayout(DeviceContextObject& dc, const TextLayout& layout, int x, int y, const RECT* clip)
{
    const SIZE size = layout.PixelSize();
    const RECT box{x, y, x + size.cx, y + size.cy};
    if (dc.state.backgroundMode == OPAQUE) {
        const RECT fill = clip ? IntersectRects(box, *clip) : box;
        FillSurfaceRect(dc, dc.ToSurface(fill), dc.state.backgroundColor);
    }
    CairoCanvas canvas(dc, clip);
    const COLORREF color = dc.state.textColor;
    cairo_set_source_rgb(canvas.Get(), GetRValue(color) / 255.0, GetGValue(color) / 255.0, GetBValue(color) / 255.0);
    layout.Draw(canvas.Get(), x, y);
    canvas.MarkDrawn(box);
}

int HorizontalStart(const RECT& rect, int width, UINT format)
{
    if (format & DT_CENTER)
        return rect.left + (rect.right - rect.left - width) / 2;
    if (format & DT_RIGHT)
        return rect.right - width;
    return rect.left;
}

int VerticalStart(const RECT& rect, int height, UINT format)
{
    if (!(format & DT_SINGLELINE))
        return rect.top;
    if (format & DT_VCENTER)
        return rect.top + (rect.bottom - rect.top - height) / 2;
    if (format & DT_BOTTOM)
        return rect.bottom - height;
    return rect.top;
}

} // namespace

int DrawTextW(HDC handle, const wchar_t* text, int count, RECT* rect, UINT format)
{
    auto dc = FindDC(handle);
    if (!dc || !rect)
        return 0;
    std::wstring content = TakeText(text, count);
    if (!(format & DT_NOPREFIX))
        content = WithoutPrefixes(content);
    TextLayout layout(SelectedFont(*dc), content);
    if (format & DT_SINGLELINE)
        layout.SingleLine();
    const bool limited = (format & DT_END_ELLIPSIS) || ((format & DT_WORDBREAK) && !(format & DT_SINGLELINE));
    const auto align = format & DT_CENTER  ? TextLayout::Align::Center
                       : format & DT_RIGHT ? TextLayout::Align::Right
                                           : TextLayout::Align::Left;
    if (limited)
        layout.LimitWidth(rect->right - rect->left, format & DT_WORDBREAK, format & DT_END_ELLIPSIS, align);
    const SIZE size = layout.PixelSize();
    if (format & DT_CALCRECT) {
        rect->right = rect->left + size.cx;
        rect->bottom = rect->top + size.cy;
        return size.cy;
    }
    const int x = limited ? rect->left : HorizontalStart(*rect, size.cx, format);
    DrawLayout(*dc, layout, x, VerticalStart(*rect, size.cy, format), format & DT_NOCLIP ? nullptr : rect);
    return size.cy;
}

BOOL ExtTextOutW(HDC handle, int x, int y, UINT options, const RECT* rect, const wchar_t* text, UINT count, const int*)
{
    auto dc = FindDC(handle);
    if (!dc)
        return FALSE;
    if ((options & ETO_OPAQUE) && rect)
        FillSurfaceRect(*dc, dc->ToSurface(*rect), dc->state.backgroundColor);
    if (!text || count == 0)
        return TRUE;
    TextLayout layout(SelectedFont(*dc), std::wstring(text, count));
    DrawLayout(*dc, layout, x, y, (options & ETO_CLIPPED) && rect ? rect : nullptr);
    return TRUE;
}

BOOL TextOutW(HDC dc, int x, int y, const wchar_t* text, int count)
{
    return count >= 0 && ExtTextOutW(dc, x, y, 0, nullptr, text, static_cast<UINT>(count), nullptr);
}

BOOL GetTextExtentPoint32W(HDC handle, const wchar_t* text, int count, SIZE* size)
{
    auto dc = FindDC(handle);
    if (!dc || !size || count < 0)
        return FALSE;
    const FontInfo font = SelectedFont(*dc);
    TextLayout layout(font, TakeText(text, count));
    layout.SingleLine();
    const FontMetrics metrics = TextLayout::Metrics(font);
    *size = SIZE{layout.PixelSize().cx, metrics.ascent + metrics.descent};
    return TRUE;
}

BOOL GetTextMetricsW(HDC handle, TEXTMETRICW* out)
{
    auto dc = FindDC(handle);
    if (!dc || !out)
        return FALSE;
    const FontInfo font = SelectedFont(*dc);
    const FontMetrics metrics = TextLayout::Metrics(font);
    TEXTMETRICW result;
    result.tmAscent = metrics.ascent;
    result.tmDescent = metrics.descent;
    result.tmHeight = metrics.ascent + metrics.descent;
    result.tmInternalLeading = std::max(0, result.tmHeight - font.height);
    result.tmAveCharWidth = metrics.averageWidth;
    result.tmMaxCharWidth = font.height;
    result.tmWeight = font.weight;
    *out = result;
    return TRUE;
}

} // namespace Platform
