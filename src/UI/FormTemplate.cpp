#include "UI/FormTemplate.h"

#include "Platform/Win/WinConstants.h"

const Platform::DialogTemplate& FormTemplate()
{
    static const Platform::DialogTemplate form = [] {
        Platform::DialogTemplate value;
        value.style = 0x80080048; // popup, system menu, set font, fixed system font
        value.cx = 316;
        value.cy = 185;
        return value;
    }();
    return form;
}
