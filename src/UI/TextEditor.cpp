#include "UI/TextEditor.h"

#include "Platform/Controls/ControlMessages.h"
#include "Platform/Gdi/Gdi.h"
#include "Platform/Win/MessageLoop.h"
#include "Platform/Win/Painting.h"
#include "UI/WindowedLayout.h"

using namespace Platform;

namespace {

const wchar_t* const kClass = L"ZivoroTextEditor";

} // namespace

TextEditor::TextEditor() = default;

TextEditor::~TextEditor()
{
    DestroyWithFont(hwnd);
}

HWND TextEditor::Create(HWND parentWindow, const RECT* rect)
{
    RegisterClassOnce(kClass, L"EDIT");
    const std::uint32_t style = WS_CHILD | ES_AUTOHSCROLL | ES_MULTILINE;
    // Without a rectangle, the default place and a size of 0 x 0.
    const RECT place = rect ? *rect : RECT{CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT};
    hwnd = CreateWithFont(kClass, style, place.left, place.top, place.right - place.left, place.bottom - place.top,
                          parentWindow, Redraw::Yes);
    return hwnd;
}

void TextEditor::ShowAt(const RECT& rect)
{
    SetWindowPos(hwnd, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_SHOWWINDOW | SWP_NOZORDER);
    RECT client;
    GetClientRect(hwnd, &client);
    // Measured on the window's own DC, not in the box's font.
    HDC dc = GetDC(hwnd);
    TEXTMETRICW metrics;
    GetTextMetricsW(dc, &metrics);
    ReleaseDC(hwnd, dc);
    const int inset = (client.bottom - client.top - metrics.tmExternalLeading - metrics.tmHeight) / 2;
    RECT formatting{client.left + 2, client.top + inset, client.right - 2, client.bottom - inset};
    SendMessageW(hwnd, EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&formatting));
}

bool TextEditor::ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    result = 0;
    switch (message) {
    case WM_NCCALCSIZE:
        WindowedLayout::ShrinkClientByOne(lParam);
        return true;
    case WM_NCPAINT:
        WindowedLayout::PaintFlatBorder(window, borderColor);
        return true;
    case OCM_BASE + WM_CTLCOLOREDIT:
        SetTextColor(reinterpret_cast<HDC>(wParam), textColor);
        result = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
        return true;
    default:
        return false;
    }
}
