#pragma once
// The system class "EDIT", drawn by us: one line of text with a caret, a selection,
// mouse and keyboard editing, a text limit, ES_NUMBER, ES_READONLY and ES_PASSWORD,
// EN_CHANGE and EN_KILLFOCUS to the parent and WM_CTLCOLOREDIT for its colours.
// ES_MULTILINE boxes behave the same (they hold one line here).

#include "Platform/Win/WinTypes.h"

#include <string>

namespace Platform {

class EditControl {
public:
    static constexpr const wchar_t* ClassName = L"EDIT";
    static void Register();
    static LRESULT Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    explicit EditControl(HWND window);

    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

private:
    // Behaviour.
    void SetText(const std::wstring& value);
    bool Insert(const std::wstring& value);
    void DeleteSelection();
    void MoveCaret(int position, bool extend);
    void OnChar(wchar_t character);
    bool OnKey(UINT key);
    void OnPress(POINT point, bool extend);
    void SetSelection(int start, int end);
    bool HasSelection() const { return anchor != caret; }
    int SelectionStart() const;
    int SelectionEnd() const;
    bool Editable() const;
    void Changed();

    // Layout and painting.
    RECT TextRect() const;
    std::wstring Shown() const;
    int TextWidth(int count) const;
    int PositionAt(int x) const;
    void ScrollToCaret();
    void Paint();

    HWND window;
    std::wstring text;
    int caret = 0;
    int anchor = 0;
    std::size_t limit = 0x7FFFFFFE;
    HFONT font = nullptr;
    bool hasRect = false;
    RECT formatRect;
    int scroll = 0;
    bool focused = false;
    bool dragging = false;
};

} // namespace Platform
