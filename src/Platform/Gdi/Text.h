#pragma once
// Text on a DC with its selected font, text colour and background mode.

#include "Platform/Gdi/GdiTypes.h"

namespace Platform {

// DT_LEFT/CENTER/RIGHT, DT_TOP/VCENTER/BOTTOM (vertical placement with DT_SINGLELINE),
// DT_SINGLELINE, DT_WORDBREAK, DT_END_ELLIPSIS, DT_NOCLIP, DT_NOPREFIX, DT_CALCRECT.
// Returns the height of the text. count -1: up to the terminating null.
int DrawTextW(HDC dc, const wchar_t* text, int count, RECT* rect, UINT format);
// ETO_OPAQUE fills rect with the background colour first; ETO_CLIPPED clips to it.
BOOL ExtTextOutW(HDC dc, int x, int y, UINT options, const RECT* rect, const wchar_t* text, UINT count, const int* dx);
BOOL TextOutW(HDC dc, int x, int y, const wchar_t* text, int count);
BOOL GetTextExtentPoint32W(HDC dc, const wchar_t* text, int count, SIZE* size);
BOOL GetTextMetricsW(HDC dc, TEXTMETRICW* metrics);

} // namespace Platform
