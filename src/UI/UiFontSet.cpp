#include "UI/UiFontSet.h"

#include "Platform/Gdi/GdiObjects.h"

using namespace Platform;

UiFontSet& UiFontSet::Instance()
{
    static UiFontSet instance;
    return instance;
}

UiFontSet::UiFontSet() : font(CreateUiFont()) {}

UiFontSet::~UiFontSet()
{
    DeleteObject(font);
}

HFONT UiFontSet::CreateUiFont()
{
    return CreateFontW(12, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 32, L"新宋体");
}
