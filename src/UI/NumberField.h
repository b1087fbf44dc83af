#pragma once
// The numeric edit field, class Editor by its system name (the image editor is
// another thing, in src/Editor): a superclassed system "EDIT" with a flat one-pixel
// border and signals for focus, keys, mouse and text changes. Its notifications
// arrive only when the parent reflects them.

#include "UI/ControlBase.h"
#include "UI/NativeControl.h"

#include "Platform/Signal.h"

class Editor : public ControlBase, public NativeControl<Editor> {
public:
    Editor();
    ~Editor() override;

    bool ProcessWindowMessage(Platform::HWND window, Platform::UINT message, Platform::WPARAM wParam,
                              Platform::LPARAM lParam, Platform::LRESULT& result);
    Platform::HWND Create(Platform::HWND parentWindow);
    // rect as x, y, width, height.
    Platform::HWND Create(Platform::HWND parentWindow, Platform::RECT rect);

    void SetVisible(int value) override;
    void Attach(ControlBase* parentControl) override;
    void UpdateLayout() override;

    // The text as a decimal number, held to the range of int; 0 when it does not start
    // with one.
    int GetInt() const;
    void SetInt(int value);

    Platform::Signal<void()> focused;
    Platform::Signal<void()> mouseMoved;
    Platform::Signal<void()> mouseDown;
    Platform::Signal<void()> focusLost;
    Platform::Signal<void()> escapePressed;
    Platform::Signal<void()> enterPressed;
    Platform::Signal<void()> ctrlEnterPressed;
    Platform::Signal<void()> upPressed;
    Platform::Signal<void()> downPressed;
    Platform::Signal<void()> textChanged;
    std::int32_t multiLine = 0;
    std::int32_t readOnly = 0;
    std::int32_t password = 0;
    Platform::COLORREF borderColor = 0xC8B8B5;

private:
    Platform::HWND CreateAt(Platform::HWND parentWindow, int x, int y, int width, int height);
    bool OnKeyDown(Platform::WPARAM key);
};
