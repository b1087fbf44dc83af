#pragma once
// The drop-down list of a combo box: a topmost popup under the box that holds the
// mouse while it is open. A release on an item chooses it; a press outside closes it.

#include "Platform/Win/WinTypes.h"

namespace Platform {

class ComboBoxControl;

class ComboListPopup {
public:
    static constexpr const wchar_t* ClassName = L"ComboLBox";
    static void Register();
    // Opens the list for the combo box; null when it cannot be created.
    static HWND Open(ComboBoxControl& combo, int visibleItems);

private:
    static LRESULT Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static int ItemAt(HWND window, const ComboBoxControl& combo, POINT point);
    static void Paint(HWND window, const ComboBoxControl& combo);
};

} // namespace Platform
