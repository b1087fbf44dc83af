#include "UI/NumberField.h"

#include "Platform/Controls/ControlMessages.h"
#include "Platform/Gdi/Gdi.h"
#include "Platform/Win/Input.h"
#include "Platform/Win/MessageLoop.h"
#include "UI/WindowedLayout.h"

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <string>

using namespace Platform;

namespace {

const wchar_t* const kClass = L"ZivoroEditor";

} // namespace

Editor::Editor() = default;

Editor::~Editor()
{
    DestroyWithFont(hwnd);
}

HWND Editor::CreateAt(HWND parentWindow, int x, int y, int width, int height)
{
    RegisterClassOnce(kClass, L"EDIT");
    std::uint32_t style = 0x50003000; // child, visible, digits only, keeps Enter
    if (multiLine)
        style |= ES_MULTILINE;
    if (readOnly)
        style |= ES_READONLY;
    if (password)
        style |= ES_PASSWORD;
    hwnd = CreateWithFont(kClass, style, x, y, width, height, parentWindow, Redraw::No);
    SendMessageW(hwnd, EM_LIMITTEXT, static_cast<WPARAM>(multiLine), 0);
    return hwnd;
}

HWND Editor::Create(HWND parentWindow)
{
    return CreateAt(parentWindow, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0);
}

HWND Editor::Create(HWND parentWindow, RECT rect)
{
    return CreateAt(parentWindow, rect.left, rect.top, rect.right, rect.bottom);
}

void Editor::SetVisible(int value)
{
    WindowedLayout::SetVisible(*this, value);
}

void Editor::Attach(ControlBase* parentControl)
{
    Create(parentControl->GetHwnd());
    WindowedLayout::Join(*this, parentControl);
}

void Editor::UpdateLayout()
{
    WindowedLayout::MoveToLayout(*this);
}

int Editor::GetInt() const
{
    const std::wstring text = GetWindowTextW(hwnd);
    // A number beyond the range of int gives the nearest end of it, not a wrapped value.
    const long long value = std::wcstoll(text.c_str(), nullptr, 10);
    return static_cast<int>(std::clamp<long long>(value, INT32_MIN, INT32_MAX));
}

void Editor::SetInt(int value)
{
    SetWindowTextW(hwnd, std::to_wstring(value).c_str());
}

bool Editor::OnKeyDown(WPARAM key)
{
    switch (key) {
    case VK_RETURN:
        if ((GetKeyState(VK_LCONTROL) | GetKeyState(VK_RCONTROL)) & 0x8000)
            ctrlEnterPressed();
        else
            enterPressed();
        return false;
    case VK_ESCAPE:
        escapePressed();
        return false;
    case VK_UP:
        upPressed();
        return true;
    case VK_DOWN:
        downPressed();
        return true;
    default:
        return false;
    }
}

bool Editor::ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    result = 0;
    switch (message) {
    case WM_SETFOCUS:
        focused();
        return false;
    case WM_NCCALCSIZE:
        WindowedLayout::ShrinkClientByOne(lParam);
        return true;
    case WM_NCPAINT:
        WindowedLayout::PaintFlatBorder(window, borderColor);
        return true;
    case WM_KEYDOWN:
        return OnKeyDown(wParam);
    case WM_MOUSEMOVE:
        mouseMoved();
        return false;
    case WM_LBUTTONDOWN:
        mouseDown();
        return false;
    case OCM_BASE + WM_COMMAND:
        if (HIWORD(wParam) == EN_CHANGE)
            textChanged();
        else if (HIWORD(wParam) == EN_KILLFOCUS)
            focusLost();
        else
            return false;
        return true;
    case OCM_BASE + WM_CTLCOLOREDIT:
        result = reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
        return true;
    default:
        return false;
    }
}
