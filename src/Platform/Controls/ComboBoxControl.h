#pragma once
// The system class "COMBOBOX" as a drop-down list (CBS_DROPDOWNLIST), drawn by us:
// the selected item in a box with an arrow; a press opens the list in a popup below
// it, where the mouse or the arrow keys with Enter choose an item (CBN_SELCHANGE to
// the parent); Up and Down change the selection while the list is closed.

#include "Platform/Win/WinTypes.h"

#include <string>
#include <vector>

namespace Platform {

class ComboBoxControl {
public:
    static constexpr const wchar_t* ClassName = L"COMBOBOX";
    static void Register();
    static LRESULT Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    explicit ComboBoxControl(HWND window);

    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

private:
    friend class ComboListPopup;

    // Behaviour.
    int AddString(const wchar_t* item);
    LRESULT SetSelection(int index);
    void Choose(int index);
    void OpenList();
    void CloseList();
    bool OnKey(UINT key);

    // Layout and painting.
    void KeepFieldHeight(int height);
    int ItemHeight() const;
    void Paint();

    HWND window;
    std::vector<std::wstring> items;
    int selection = -1;
    int minVisible = 30;
    HFONT font = nullptr;
    HWND list = nullptr;
    int hot = -1;
};

} // namespace Platform
