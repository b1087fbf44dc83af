#pragma once
// A form holding one of every toolkit control, in a plain window of its own.

#include "UI/ComboBox.h"
#include "UI/Controls/Button.h"
#include "UI/Controls/CheckBox.h"
#include "UI/Controls/Icon.h"
#include "UI/Controls/IconLabel.h"
#include "UI/ExtForm.h"
#include "UI/Label.h"
#include "UI/NumberField.h"
#include "UI/TrackBar.h"

class GalleryForm : public ExtForm {
public:
    GalleryForm(int x, int y, int width, int height);
    ~GalleryForm() override;

    void OnPaint(Zivoro::UI::CPaintEventArgs* args) override;
    bool ProcessWindowMessage(Platform::HWND window, Platform::UINT message, Platform::WPARAM wParam,
                              Platform::LPARAM lParam, Platform::LRESULT& result) override;

    Platform::HWND window = nullptr;
    Zivoro::UI::Controls::Button button;
    Zivoro::UI::Controls::Button addButton;
    Zivoro::UI::Controls::Button uploadButton;
    Zivoro::UI::Controls::CheckBox checkBox;
    Label label;
    Zivoro::UI::Controls::Icon icon;
    Zivoro::UI::Controls::IconLabel editLink;
    Zivoro::UI::Controls::IconLabel deleteLink;
    ExtTrackBar slider;
    ComboBox combo;
    Editor editor;

private:
    static Platform::LRESULT Procedure(Platform::HWND window, Platform::UINT message, Platform::WPARAM wParam,
                                       Platform::LPARAM lParam);
    void Build();
};
