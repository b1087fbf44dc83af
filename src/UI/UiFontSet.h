#pragma once
// The one UI font and the two text colours every control draws with.

#include "Platform/Win/WinTypes.h"

class UiFontSet {
public:
    static UiFontSet& Instance();
    ~UiFontSet();
    UiFontSet(const UiFontSet&) = delete;
    UiFontSet& operator=(const UiFontSet&) = delete;

    // The UI font: "新宋体", 12 pixels high, regular weight.
    static Platform::HFONT CreateUiFont();

    Platform::HFONT font;
    Platform::COLORREF disabledColor = 0xC1C1C1;
    Platform::COLORREF textColor = 0x333333;

private:
    UiFontSet();
};
