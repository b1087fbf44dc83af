#include "UI/ComboBox.h"

#include "Platform/Controls/ControlMessages.h"
#include "Platform/Gdi/Gdi.h"
#include "Platform/Win/MessageLoop.h"
#include "UI/WindowedLayout.h"

using namespace Platform;

namespace {

const wchar_t* const kClass = L"ZivoroComboBox";

} // namespace

ComboBox::ComboBox() = default;

ComboBox::~ComboBox()
{
    DestroyWindows();
}

HWND ComboBox::Create(HWND parentWindow)
{
    RegisterClassOnce(kClass, L"COMBOBOX");
    hwnd = CreateWithFont(kClass, 0x50200003, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0, parentWindow, Redraw::Yes);
    SendMessageW(hwnd, CB_SETMINVISIBLE, 6, 0);
    return hwnd;
}

void ComboBox::SetVisible(int value)
{
    WindowedLayout::SetVisible(*this, value);
}

void ComboBox::GetContainerRect(RECT* rect)
{
    *rect = RECT{};
    if (parent && parent->GetHwnd())
        GetClientRect(parent->GetHwnd(), rect);
}

void ComboBox::Attach(ControlBase* parentControl)
{
    Create(parentControl->GetHwnd());
    WindowedLayout::Join(*this, parentControl);
}

void ComboBox::UpdateLayout()
{
    WindowedLayout::MoveToLayout(*this);
}

void ComboBox::DestroyWindows()
{
    DestroyWithFont(hwnd);
}

bool ComboBox::ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM, LRESULT& result)
{
    if (message != OCM_BASE + WM_COMMAND || HIWORD(wParam) != CBN_SELCHANGE)
        return false;
    result = 0;
    selectionChanged(static_cast<int>(SendMessageW(window, CB_GETCURSEL, 0, 0)));
    return true;
}
