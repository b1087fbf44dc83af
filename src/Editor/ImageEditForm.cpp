#include "Editor/ImageEditForm.h"

#include "Biz/AppConfig.h"
#include "Biz/AppState.h"
#include "Biz/ImageData.h"
#include "Biz/UiText.h"
#include "Imaging/RasterConversion.h"
#include "Platform/Controls/ControlMessages.h"
#include "Platform/Gdiplus/PixelBuffer.h"
#include "Platform/Win/Dialog.h"
#include "Platform/Win/Input.h"
#include "Platform/Win/MessageLoop.h"
#include "Platform/Win/Reflection.h"
#include "Platform/Win/Screen.h"
#include "Platform/Win/SizingLoop.h"
#include "Platform/Win/Window.h"
#include "Platform/Win/WinConstants.h"
#include "Platform/Win/WindowGeometry.h"
#include "UI/EventArgs.h"
#include "UI/FormTemplate.h"
#include "UI/UiDrawing.h"
#include "Views/ListViewItem.h"
#include "Views/TileList.h"

#include <algorithm>
#include <cmath>

using namespace Platform;
using Zivoro::UI::Controls::Button;

namespace {

constexpr int kFieldWidth = 36;
constexpr int kFieldHeight = 18;
constexpr int kButtonWidth = 72;
constexpr int kButtonHeight = 25;
constexpr int kSliderWidth = 122;
constexpr int kSliderHeight = 15;
// Space kept after a label whose text is longer than the design's.
constexpr int kLabelGap = 4;
// How far inside the window's edge a press resizes, and how far a corner reaches.
constexpr int kBorder = 3;
constexpr int kCorner = 10;

} // namespace

ImageEditForm::ImageEditForm(ListViewItem* tile)
{
    if (tile) {
        list = tile->Tiles();
        tileId = tile->Id();
        record = tile->Data();
    }
    title = UiText::Get(TextId::EditPicture);
}

ImageEditForm::~ImageEditForm() = default;

bool ImageEditForm::Edit(ListViewItem* tile, HWND owner)
{
    if (!tile || AppState::Instance().IsUploading())
        return false;
    TileList* tileList = tile->Tiles();
    const std::int32_t id = tile->Id();
    {
        ImageEditForm form(tile);
        form.DoModal(owner);
    }
    // The tile is looked up again: it may have left the list meanwhile.
    if (ListViewItem* edited = tileList ? tileList->FindById(id) : nullptr)
        edited->Redraw();
    return true;
}

INT_PTR ImageEditForm::DoModal(HWND owner, LPARAM)
{
    return DialogBoxIndirectParamW(nullptr, &FormTemplate(), owner, &ImageEditForm::DialogProc,
                                   reinterpret_cast<LPARAM>(this));
}

INT_PTR ImageEditForm::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, GWLP_USERDATA, lParam);
        return reinterpret_cast<ImageEditForm*>(lParam)->OnInitDialog(dialog);
    }
    auto* form = reinterpret_cast<ImageEditForm*>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
    LRESULT result = 0;
    if (!form || !form->ProcessWindowMessage(dialog, message, wParam, lParam, result))
        return FALSE;
    // The colour messages answer with their brush itself.
    if (message >= WM_CTLCOLOREDIT && message <= WM_CTLCOLORSTATIC)
        return result;
    SetWindowLongPtrW(dialog, DWLP_MSGRESULT, result);
    return TRUE;
}

// --- Building --------------------------------------------------------------------

INT_PTR ImageEditForm::OnInitDialog(HWND dialog)
{
    hwnd = dialog;
    iconName = "IcoEdit";
    SetWindowPos(dialog, nullptr, 0, 0, 800, 600, SWP_NOMOVE | SWP_NOZORDER);
    const auto style = static_cast<std::uint32_t>(GetWindowLongPtrW(dialog, GWL_STYLE));
    if ((style & (WS_CLIPSIBLINGS | WS_CLIPCHILDREN)) != (WS_CLIPSIBLINGS | WS_CLIPCHILDREN))
        SetWindowLongPtrW(dialog, GWL_STYLE, style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    AttachWindow(dialog, 0, 0, 800, 600);
    BuildFrameButtons();
    canvas.Create(dialog);
    canvas.SetAnchors(AnchorTop | AnchorBottom | AnchorLeft | AnchorRight);
    canvas.SetMargins(79, 52, 7, 33);
    AddChild(&canvas);
    // Laid out first, so that a large photo's first view is decoded at the size shown.
    canvas.UpdateLayout();
    // A tile opened before the list's loader reached it reads its picture now.
    if (record)
        record->Load();
    canvas.LoadPicture(record ? record->Picture() : nullptr);
    BuildTabs();
    BuildSizePanel();
    BuildLightPanel();
    BuildSaturatePanel();
    BuildQualityPanel();
    BuildRotationPanel();
    BuildClipPanel();
    ShowPanel(Panel::Size);
    LayoutChildren();
    // Sliders place their thumbs by their laid-out width.
    brightnessSlider.SetValue(0);
    contrastSlider.SetValue(0);
    saturationSlider.SetValue(0);
    qualitySlider.SetValue(100);
    canvas.FitToWindow();
    CenterWindow(dialog);
    return TRUE;
}

void ImageEditForm::BuildFrameButtons()
{
    struct FrameButton {
        Button& button;
        const wchar_t* text;
        int anchors;
        SIZE size;
        RECT margins;
        void (ImageEditForm::*clicked)();
    };
    const FrameButton buttons[] = {
        {maximizeButton, L"", AnchorTop | AnchorRight, SIZE{15, 15}, RECT{0, 5, 23, 0}, &ImageEditForm::OnMaximize},
        {closeButton, L"", AnchorTop | AnchorRight, SIZE{15, 15}, RECT{0, 5, 6, 0}, nullptr},
        {okButton, UiText::Get(TextId::Ok), AnchorBottom | AnchorRight, SIZE{72, 25}, RECT{0, 0, 85, 4},
         &ImageEditForm::OnOk},
        {cancelButton, UiText::Get(TextId::Cancel), AnchorBottom | AnchorRight, SIZE{72, 25}, RECT{0, 0, 7, 4},
         nullptr},
    };
    for (const FrameButton& entry : buttons) {
        entry.button.Create(this, entry.text);
        entry.button.SetAnchors(entry.anchors);
        entry.button.SetSize(entry.size.cx, entry.size.cy);
        entry.button.SetMargins(entry.margins.left, entry.margins.top, entry.margins.right, entry.margins.bottom);
        if (entry.clicked)
            entry.button.clicked.connect([this, clicked = entry.clicked] { (this->*clicked)(); });
        else
            entry.button.clicked.connect([this] { EndDialog(hwnd, 0); });
    }
    maximizeButton.SetImages("BtnMax-Normal", "BtnMax-Hover", "BtnMax-Hover", "BtnMax-Hover");
    closeButton.SetImages("BtnCloseNormal", "BtnCloseHover", "BtnCloseHover", "");
}

void ImageEditForm::BuildTabs()
{
    const std::pair<Button*, TextId> tabs[] = {
        {&sizeTab, TextId::Resize},         {&lightTab, TextId::Brightness},
        {&saturateTab, TextId::Saturation}, {&rotationTab, TextId::RotatePicture},
        {&qualityTab, TextId::Quality},     {&clipTab, TextId::CropPicture},
        {&undoTab, TextId::UndoEdits},
    };
    int top = 52;
    for (const auto& [tab, text] : tabs) {
        tab->Create(this, UiText::Get(text));
        tab->SetSize(kButtonWidth, kButtonHeight);
        tab->SetMargins(7, top, 0, 0);
        top += 27;
    }
    sizeTab.clicked.connect([this] { ShowPanel(Panel::Size); });
    lightTab.clicked.connect([this] { ShowPanel(Panel::Light); });
    saturateTab.clicked.connect([this] { ShowPanel(Panel::Saturate); });
    rotationTab.clicked.connect([this] { ShowPanel(Panel::Rotation); });
    qualityTab.clicked.connect([this] { OnQualityTab(); });
    clipTab.clicked.connect([this] {
        ShowPanel(Panel::Clip);
        canvas.SetCropEnabled(1);
    });
    undoTab.clicked.connect([this] { UndoEdits(); });
}

// The design's places were made for its Chinese texts. In another language a row
// flows: a control starts at its design place or, when the text before it is longer,
// kLabelGap after that text, and the rest of the row moves with it.
void ImageEditForm::Place(Panel panel, ControlBase& control, int left, int top)
{
    Row& row = rows[panel];
    const int placed = std::max(left + row.shift, row.reach);
    row.shift = placed - left;
    control.SetMargins(placed, top, 0, 0);
    panels.emplace(panel, &control);
}

void ImageEditForm::TextEnds(Panel panel, int left, int width)
{
    if (AppConfig::Instance().Language != UiLanguage::Chinese)
        rows[panel].reach = left + width + kLabelGap;
}

void ImageEditForm::AddLabel(Panel panel, Label& label, TextId text, int left, int top)
{
    Place(panel, label, left, top);
    label.Create(this, UiText::Get(text));
    TextEnds(panel, label.margins.left, label.bounds.right - label.bounds.left);
}

void ImageEditForm::AddCheckBox(Panel panel, Zivoro::UI::Controls::CheckBox& box, TextId text, int left, int top)
{
    Place(panel, box, left, top);
    box.Create(this, UiText::Get(text));
    TextEnds(panel, box.margins.left, box.size.cx + box.boxWidth + box.TextOverhang());
}

void ImageEditForm::AddButton(Panel panel, Button& button, TextId text, int left, int top,
                              std::function<void()> clicked)
{
    button.Create(this, UiText::Get(text));
    button.SetSize(kButtonWidth, kButtonHeight);
    Place(panel, button, left, top);
    button.clicked.connect(std::move(clicked));
}

void ImageEditForm::AddField(Panel panel, Editor& field, int left, int top)
{
    Place(panel, field, left, top);
    field.SetSize(kFieldWidth, kFieldHeight);
    field.Attach(this);
}

void ImageEditForm::AddSlider(Panel panel, ExtTrackBar& slider, int left, int top, int low, int high, int value)
{
    slider.Create(hwnd);
    Place(panel, slider, left, top);
    slider.SetSize(kSliderWidth, kSliderHeight);
    slider.SetRange(low, high);
    AddChild(&slider);
    slider.SetValue(value);
}

void ImageEditForm::BuildSizePanel()
{
    AddLabel(Panel::Size, widthLabel, TextId::WidthLabel, 77, 32);
    AddField(Panel::Size, widthField, 114, 30);
    AddLabel(Panel::Size, heightLabel, TextId::HeightLabel, 156, 32);
    AddField(Panel::Size, heightField, 192, 30);
    AddCheckBox(Panel::Size, keepRatioBox, TextId::KeepRatio, 244, 31);
    keepRatioBox.SetChecked(1);
    AddButton(Panel::Size, resizeButton, TextId::Resize, 322, 26, [this] {
        canvas.ResizeTo(SideOf(widthField), SideOf(heightField));
        ShowPictureState();
    });
    resizeButton.SetDisabled(1);
    AddButton(Panel::Size, actualPixelsButton, TextId::ActualPixels, 404, 26, [this] { canvas.ShowActualPixels(); });
    AddButton(Panel::Size, fitButton, TextId::FitSize, 486, 26, [this] { canvas.FitToWindow(); });
    widthField.textChanged.connect([this] { OnSizeFieldChanged(widthField); });
    heightField.textChanged.connect([this] { OnSizeFieldChanged(heightField); });
    ShowPictureState();
}

void ImageEditForm::BuildLightPanel()
{
    AddLabel(Panel::Light, brightnessLabel, TextId::BrightnessLabel, 73, 31);
    AddSlider(Panel::Light, brightnessSlider, 119, 31, -255, 255, 0);
    AddField(Panel::Light, brightnessField, 242, 30);
    brightnessField.SetInt(0);
    AddLabel(Panel::Light, contrastLabel, TextId::ContrastLabel, 283, 31);
    AddSlider(Panel::Light, contrastSlider, 334, 31, -100, 100, 0);
    AddField(Panel::Light, contrastField, 461, 30);
    contrastField.SetInt(0);
    brightnessSlider.valueChanged.connect([this](int value) {
        canvas.SetBrightness(value);
        brightnessField.SetInt(value);
    });
    contrastSlider.valueChanged.connect([this](int value) {
        canvas.SetContrast(value);
        contrastField.SetInt(value);
    });
}

void ImageEditForm::BuildSaturatePanel()
{
    AddLabel(Panel::Saturate, saturationLabel, TextId::SaturationLabel, 77, 33);
    AddSlider(Panel::Saturate, saturationSlider, 131, 31, -100, 100, 0);
    AddField(Panel::Saturate, saturationField, 254, 30);
    saturationField.SetInt(0);
    saturationSlider.valueChanged.connect([this](int value) { saturationField.SetInt(value); });
    AddButton(Panel::Saturate, adjustButton, TextId::Adjust, 297, 26,
              [this] { canvas.ApplySaturation(std::clamp(saturationField.GetInt(), -255, 255)); });
}

void ImageEditForm::BuildQualityPanel()
{
    Place(Panel::Quality, formatList, 71, 29);
    formatList.SetSize(90, 80);
    formatList.Attach(this);
    for (const wchar_t* item : {UiText::Get(TextId::PleaseChoose), L"JPG", L"PNG", L"BMP"})
        SendMessageW(formatList.GetHwnd(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    SendMessageW(formatList.GetHwnd(), CB_SETMINVISIBLE, 4, 0);
    SendMessageW(formatList.GetHwnd(), CB_SETCURSEL, 0, 0);
    formatList.selectionChanged.connect([this](int index) { OnFormatChanged(index); });
    AddLabel(Panel::Quality, qualityLabel, TextId::QualityLabel, 175, 32);
    AddSlider(Panel::Quality, qualitySlider, 248, 31, 0, 100, 100);
    AddField(Panel::Quality, qualityField, 374, 29);
    qualityField.SetInt(100);
    qualitySlider.valueChanged.connect([this](int value) { qualityField.SetInt(value); });
    // The stored picture is a plain bitmap that the upload encodes by the file's own
    // format, so the choice made here changes nothing.
    AddButton(Panel::Quality, applyButton, TextId::Apply, 413, 26, [] {});
}

void ImageEditForm::BuildRotationPanel()
{
    AddButton(Panel::Rotation, turnLeftButton, TextId::TurnLeft, 71, 26, [this] {
        canvas.TurnLeft();
        ShowPictureState();
    });
    AddButton(Panel::Rotation, turnRightButton, TextId::TurnRight, 150, 26, [this] {
        canvas.TurnRight();
        ShowPictureState();
    });
}

void ImageEditForm::BuildClipPanel()
{
    AddLabel(Panel::Clip, clipWidthLabel, TextId::WidthLabel, 81, 30);
    AddField(Panel::Clip, clipWidthField, 114, 30);
    AddLabel(Panel::Clip, clipHeightLabel, TextId::HeightLabel, 160, 30);
    AddField(Panel::Clip, clipHeightField, 192, 30);
    AddButton(Panel::Clip, cropButton, TextId::Crop, 332, 26, [this] {
        canvas.CropToSelection();
        ShowPictureState();
    });
    AddButton(Panel::Clip, clipUndoButton, TextId::Undo, 404, 26, [this] { UndoEdits(); });
    canvas.selectionSized.connect([this](const std::wstring& width, const std::wstring& height) {
        SetWindowTextW(clipWidthField.GetHwnd(), width.c_str());
        SetWindowTextW(clipHeightField.GetHwnd(), height.c_str());
    });
    panelChanged.connect([this] { canvas.SetCropEnabled(0); });
}

// --- Behaviour -------------------------------------------------------------------

void ImageEditForm::ShowPanel(Panel shown)
{
    canvas.ClearSelection();
    panelChanged();
    for (const auto& [panel, control] : panels)
        control->SetVisible(panel == shown ? 1 : 0);
}

void ImageEditForm::OnQualityTab()
{
    ShowPanel(Panel::Quality);
    const auto selected = SendMessageW(formatList.GetHwnd(), CB_GETCURSEL, 0, 0);
    if (selected != 1) {
        qualityField.SetVisible(0);
        qualitySlider.SetVisible(0);
    }
    if (selected == 0)
        applyButton.SetVisible(0);
}

void ImageEditForm::OnFormatChanged(int index)
{
    applyButton.SetVisible(index > 0 ? 1 : 0);
    qualitySlider.SetVisible(index == 1 ? 1 : 0);
    qualityField.SetVisible(index == 1 ? 1 : 0);
}

int ImageEditForm::SideOf(const Editor& field)
{
    return std::clamp(field.GetInt(), 0, static_cast<int>(Gdiplus::PixelBuffer::MaxSide));
}

void ImageEditForm::OnSizeFieldChanged(Editor& edited)
{
    if (syncingFields)
        return;
    const SIZE picture = canvas.GetImageSize();
    if (keepRatioBox.IsChecked() && picture.cx > 0 && picture.cy > 0) {
        const bool width = &edited == &widthField;
        const double ratio =
            width ? static_cast<double>(picture.cy) / picture.cx : static_cast<double>(picture.cx) / picture.cy;
        const long long other = std::llround(SideOf(edited) * ratio);
        syncingFields = true;
        (width ? heightField : widthField)
            .SetInt(static_cast<int>(std::min<long long>(other, Gdiplus::PixelBuffer::MaxSide)));
        syncingFields = false;
    }
    UpdateResizeButton();
}

void ImageEditForm::UpdateResizeButton()
{
    const SIZE picture = canvas.GetImageSize();
    const int width = SideOf(widthField), height = SideOf(heightField);
    const bool same = width == picture.cx && height == picture.cy;
    resizeButton.SetDisabled(same || width < 1 || height < 1 ? 1 : 0);
}

void ImageEditForm::ShowPictureState()
{
    const SIZE picture = canvas.GetImageSize();
    syncingFields = true;
    widthField.SetInt(picture.cx);
    heightField.SetInt(picture.cy);
    syncingFields = false;
    UpdateResizeButton();
}

void ImageEditForm::UndoEdits()
{
    canvas.ResetEdits();
    for (auto [slider, field] :
         {std::pair{&brightnessSlider, &brightnessField}, std::pair{&contrastSlider, &contrastField},
          std::pair{&saturationSlider, &saturationField}}) {
        slider->SetValue(0);
        field->SetInt(0);
    }
    ShowPictureState();
}

void ImageEditForm::OnOk()
{
    // An unedited picture stays as it was, at its own resolution and encoding.
    if (canvas.IsEdited() && list) {
        ListViewItem* tile = list->FindById(tileId);
        if (tile && tile->Data() == record)
            tile->SetPicture(RasterToPicture(canvas.TakeWorkingImage()));
    }
    EndDialog(hwnd, 0);
}

void ImageEditForm::OnMaximize()
{
    ToggleMaximize();
    if (maximized)
        maximizeButton.SetImages("BtnRestore-Normal", "BtnRestore-Hover", "BtnRestore-Hover", "BtnRestore-Normal");
    else
        maximizeButton.SetImages("BtnMax-Normal", "BtnMax-Hover", "BtnMax-Hover", "BtnMax-Normal");
    maximizeButton.Invalidate();
}

// --- Frame -----------------------------------------------------------------------

LRESULT ImageEditForm::HitTestFrame(LPARAM lParam) const
{
    if (maximized)
        return HTCLIENT;
    RECT w;
    GetWindowRect(hwnd, &w);
    const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    if (x <= w.left + kBorder)
        return HTLEFT;
    if (x >= w.right - kBorder)
        return HTRIGHT;
    if (y <= w.top + kBorder)
        return HTTOP;
    if (y >= w.bottom - kBorder)
        return HTBOTTOM;
    const bool left = x <= w.left + kCorner, right = x >= w.right - kCorner;
    const bool top = y <= w.top + kCorner, bottom = y >= w.bottom - kCorner;
    if (left && top)
        return HTTOPLEFT;
    if (right && top)
        return HTTOPRIGHT;
    if (left && bottom)
        return HTBOTTOMLEFT;
    if (right && bottom)
        return HTBOTTOMRIGHT;
    return HTCLIENT;
}

void ImageEditForm::SetFrameCursor(int hitCode) const
{
    const wchar_t* shape = IDC_ARROW;
    if (!maximized) {
        switch (hitCode) {
        case HTLEFT:
        case HTRIGHT:
            shape = IDC_SIZEWE;
            break;
        case HTTOP:
        case HTBOTTOM:
            shape = IDC_SIZENS;
            break;
        case HTTOPLEFT:
        case HTBOTTOMRIGHT:
            shape = IDC_SIZENWSE;
            break;
        case HTTOPRIGHT:
        case HTBOTTOMLEFT:
            shape = IDC_SIZENESW;
            break;
        default:
            break;
        }
    }
    SetCursor(LoadCursorW(nullptr, shape));
}

void ImageEditForm::KeepMinimumSize(WPARAM edge, RECT* proposed) const
{
    if (proposed->right - proposed->left < MinimumWidth) {
        if (edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT)
            proposed->left = proposed->right - MinimumWidth;
        else if (edge == WMSZ_RIGHT || edge == WMSZ_TOPRIGHT || edge == WMSZ_BOTTOMRIGHT)
            proposed->right = proposed->left + MinimumWidth;
    }
    if (proposed->bottom - proposed->top < MinimumHeight) {
        if (edge == WMSZ_TOP || edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT)
            proposed->top = proposed->bottom - MinimumHeight;
        else if (edge == WMSZ_BOTTOM || edge == WMSZ_BOTTOMLEFT || edge == WMSZ_BOTTOMRIGHT)
            proposed->bottom = proposed->top + MinimumHeight;
    }
}

bool ImageEditForm::ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    result = 0;
    switch (message) {
    case WM_NCHITTEST:
        result = HitTestFrame(lParam);
        return true;
    case WM_SETCURSOR:
        SetFrameCursor(LOWORD(static_cast<std::uintptr_t>(lParam)));
        result = 1;
        return true;
    case WM_NCLBUTTONDOWN:
        if (wParam >= HTLEFT && wParam <= HTBOTTOMRIGHT)
            SendMessageW(window, WM_SYSCOMMAND, SizeCommandFor(wParam), lParam);
        return true;
    case WM_SIZING:
        KeepMinimumSize(wParam, reinterpret_cast<RECT*>(lParam));
        result = 1;
        return true;
    default:
        break;
    }
    if (ExtForm::ProcessWindowMessage(window, message, wParam, lParam, result))
        return true;
    return ReflectNotification(window, message, wParam, lParam, result);
}

void ImageEditForm::OnPaint(Zivoro::UI::CPaintEventArgs* args)
{
    ExtForm::OnPaint(args);
    const RECT& b = bounds;
    const RECT band{6, 24, b.right - 6, 52};
    PaintGradient(args->dc, band, 0xF4E6DA, 0xEFDDCE);
    PaintFrame(args->dc, band, 0xE8BB99);
    PaintLine(args->dc, 0xFAF5F0, 7, 25, b.right - 7, 25);
    PaintFill(args->dc, RECT{6, 51, b.right - 6, b.bottom - 32}, 0xE8BB99);
    ControlBase::OnPaint(args);
}
