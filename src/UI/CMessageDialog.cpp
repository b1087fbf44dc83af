#include "UI/CMessageDialog.h"

#include "Biz/UiText.h"
#include "Platform/Win/Screen.h"
#include "Platform/Win/Window.h"
#include "Platform/Win/WinConstants.h"
#include "Platform/Win/WindowGeometry.h"
#include "UI/FormTemplate.h"
#include "UI/Skin.h"

using namespace Platform;

INT_PTR CMessageDialog::DoModal(HWND owner, LPARAM)
{
    return DialogBoxIndirectParamW(nullptr, &FormTemplate(), owner, &CMessageDialog::DialogProc,
                                   reinterpret_cast<LPARAM>(this));
}

INT_PTR CMessageDialog::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto* form = reinterpret_cast<CMessageDialog*>(lParam);
        SetWindowLongPtrW(dialog, GWLP_USERDATA, lParam);
        return form->OnInitDialog(dialog);
    }
    auto* form = reinterpret_cast<CMessageDialog*>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
    if (!form)
        return FALSE;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        form->End(LOWORD(wParam));
        return TRUE;
    }
    return form->DialogMessage(dialog, message, wParam, lParam);
}

INT_PTR CMessageDialog::OnInitDialog(HWND dialog)
{
    hwnd = dialog;
    if (title.empty())
        title = UiText::Get(TextId::MessageTitle);
    okButton.Create(this, L"");
    const std::string okFace = CaptionedSkin("BtnOk");
    okButton.SetImages(okFace, okFace, okFace, okFace);
    okButton.SetSize(51, 24);
    okButton.SetMargins(257, 141, 0, 0);
    okButton.clicked.connect([this] { End(1); });

    cancelButton.Create(this, L"");
    const std::string cancelFace = CaptionedSkin("BtnCancel");
    cancelButton.SetImages(cancelFace, cancelFace, cancelFace, cancelFace);
    cancelButton.SetSize(51, 24);
    cancelButton.SetMargins(318, 141, 0, 0);
    cancelButton.clicked.connect([this] { End(2); });

    closeButton.Create(this, L"");
    closeButton.clicked.connect([this] { End(2); });
    closeButton.SetSize(15, 15);
    closeButton.SetMargins(0, 12, 14, 0);
    closeButton.SetAnchors(AnchorTop | AnchorRight);
    closeButton.SetImages("BtnCloseNormal", "BtnCloseHover", "BtnCloseHover", "");

    messageLabel.Create(this, message);
    messageLabel.SetMargins(100, 72, 0, 0);

    SetWindowPos(dialog, nullptr, 0, 0, 384, 174, SWP_NOMOVE | SWP_NOZORDER);
    CenterWindow(dialog);
    return TRUE;
}

void CMessageDialog::End(INT_PTR result)
{
    EndDialog(hwnd, result);
}

void CMessageDialog::OnPaint(Zivoro::UI::CPaintEventArgs* args)
{
    ExtForm::OnPaint(args);
    ControlBase::OnPaint(args);
}
