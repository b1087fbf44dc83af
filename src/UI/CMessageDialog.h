#pragma once
// The modal one-line notice with OK, Cancel and close buttons.

#include "UI/Controls/Button.h"
#include "UI/ExtForm.h"
#include "UI/Label.h"

#include <string>

class CMessageDialog : public ExtForm {
public:
    CMessageDialog() = default;

    void SetMessage(const wchar_t* text) { message = text ? text : L""; }
    // Runs modally over owner: 1 for OK or Enter, 2 for Cancel, close or Esc; -1 when
    // the dialog cannot be created.
    Platform::INT_PTR DoModal(Platform::HWND owner, Platform::LPARAM initParam = 0);

    void OnPaint(Zivoro::UI::CPaintEventArgs* args) override;

    std::wstring message;
    Zivoro::UI::Controls::Button okButton;
    Zivoro::UI::Controls::Button cancelButton;
    Zivoro::UI::Controls::Button closeButton;
    Label messageLabel;

private:
    static Platform::INT_PTR DialogProc(Platform::HWND dialog, Platform::UINT message, Platform::WPARAM wParam,
                                        Platform::LPARAM lParam);
    Platform::INT_PTR OnInitDialog(Platform::HWND dialog);
    void End(Platform::INT_PTR result);
};
