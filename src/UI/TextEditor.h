#pragma once
// The plain edit box shown in place to edit a caption in the list.

#include "UI/NativeControl.h"

#include "Platform/Win/WinTypes.h"

class TextEditor : public NativeControl<TextEditor> {
public:
    TextEditor();
    ~TextEditor();
    TextEditor(const TextEditor&) = delete;
    TextEditor& operator=(const TextEditor&) = delete;

    bool ProcessWindowMessage(Platform::HWND window, Platform::UINT message, Platform::WPARAM wParam,
                              Platform::LPARAM lParam, Platform::LRESULT& result);
    // A hidden box at rect, or at the default rectangle when rect is null.
    Platform::HWND Create(Platform::HWND parentWindow, const Platform::RECT* rect = nullptr);
    // Shows the box over rect with its text centred vertically.
    void ShowAt(const Platform::RECT& rect);
    Platform::HWND Window() const { return hwnd; }

    Platform::COLORREF textColor = 0x828282;
    Platform::COLORREF borderColor = 0x646464;

private:
    Platform::HWND hwnd = nullptr;
};
