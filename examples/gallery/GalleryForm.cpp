#include "GalleryForm.h"

#include "Platform/Controls/ControlMessages.h"
#include "Platform/Win/MessageLoop.h"
#include "Platform/Win/Reflection.h"
#include "Platform/Win/Window.h"
#include "Platform/Win/WinConstants.h"

using namespace Platform;

GalleryForm::GalleryForm(int x, int y, int width, int height)
{
    WNDCLASSW windowClass;
    windowClass.lpfnWndProc = &Procedure;
    windowClass.lpszClassName = L"TrellanGallery";
    RegisterClassW(&windowClass);
    window = CreateWindowExW(0, L"TrellanGallery", L"", WS_POPUP | WS_CLIPCHILDREN, x, y, width, height, nullptr,
                             nullptr, nullptr, nullptr);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    AttachWindow(window, 0, 0, width, height);
    title = L"控件一览";
    iconName = "IcoEdit";
    Build();
    ShowWindow(window, SW_SHOW);
    SendMessageW(window, WM_SIZE, 0, MAKELPARAM(width, height));
}

GalleryForm::~GalleryForm()
{
    DestroyWindow(window);
}

void GalleryForm::Build()
{
    button.SetMargins(20, 50, 0, 0);
    button.SetSize(72, 25);
    button.Create(this, L"按钮");
    addButton.SetImages("BtnAdd-Normal", "BtnAdd-Hover", "BtnAdd-Hover", "BtnAdd-Disable");
    addButton.SetMargins(110, 50, 0, 0);
    addButton.SetSize(84, 24);
    addButton.Create(this, L"");
    uploadButton.SetImages("BtnPost-Normal", "BtnPost-Hover", "BtnPost-Hover", "BtnPost-Disable");
    uploadButton.SetMargins(210, 50, 0, 0);
    uploadButton.SetSize(84, 24);
    uploadButton.Create(this, L"");

    checkBox.SetMargins(20, 95, 0, 0);
    checkBox.Create(this, L"约束比例");
    label.SetMargins(130, 95, 0, 0);
    label.Create(this, L"单击\"添加照片\"按钮或拖动照片到上传框中");
    label.SetFormat(32);
    icon.imageName = "IcoInfo";
    icon.SetMargins(20, 125, 0, 0);
    icon.SetSize(32, 32);
    icon.Create(this);
    editLink.SetMargins(70, 133, 0, 0);
    editLink.Create(this, L"编辑", "IcoEdit");
    deleteLink.SetMargins(140, 133, 0, 0);
    deleteLink.Create(this, L"删除", "Btn_Delete");

    slider.Create(window);
    slider.SetMargins(20, 180, 0, 0);
    slider.SetSize(160, 15);
    slider.SetRange(-100, 100);
    AddChild(&slider);
    slider.parent = this;
    slider.SetVisible(1);
    combo.SetMargins(210, 176, 0, 0);
    combo.SetSize(86, 70);
    combo.Attach(this);
    for (const wchar_t* item : {L"JPG", L"PNG", L"BMP"})
        SendMessageW(combo.hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    SendMessageW(combo.hwnd, CB_SETCURSEL, 0, 0);
    editor.SetMargins(320, 176, 0, 0);
    editor.SetSize(70, 22);
    editor.Attach(this);
    editor.SetInt(800);
}

void GalleryForm::OnPaint(Zivoro::UI::CPaintEventArgs* args)
{
    ExtForm::OnPaint(args);
    ControlBase::OnPaint(args);
}

bool GalleryForm::ProcessWindowMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (ReflectNotification(hwnd, message, wParam, lParam, result))
        return true;
    return ExtForm::ProcessWindowMessage(hwnd, message, wParam, lParam, result);
}

LRESULT GalleryForm::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* form = reinterpret_cast<GalleryForm*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    LRESULT result = 0;
    if (form && form->ProcessWindowMessage(hwnd, message, wParam, lParam, result))
        return result;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}
