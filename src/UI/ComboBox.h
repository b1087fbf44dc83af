#pragma once
// A drop-down list (a superclassed system "COMBOBOX") that reports a changed
// selection; its notification arrives only when the parent reflects it.

#include "UI/ControlBase.h"
#include "UI/NativeControl.h"

#include "Platform/Signal.h"

class ComboBox : public ControlBase, public NativeControl<ComboBox> {
public:
    ComboBox();
    ~ComboBox() override;

    bool ProcessWindowMessage(Platform::HWND window, Platform::UINT message, Platform::WPARAM wParam,
                              Platform::LPARAM lParam, Platform::LRESULT& result);
    Platform::HWND Create(Platform::HWND parentWindow);

    void SetVisible(int value) override;
    // The client rectangle of the parent's window.
    void GetContainerRect(Platform::RECT* rect) override;
    void Attach(ControlBase* parentControl) override;
    void UpdateLayout() override;
    // Deletes the font and destroys the window.
    void DestroyWindows() override;

    Platform::Signal<void(int)> selectionChanged;
};
