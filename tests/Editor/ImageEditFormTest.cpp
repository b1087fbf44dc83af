#include "EditorTestSupport.h"

#include "Biz/AppConfig.h"
#include "Biz/AppState.h"
#include "Editor/ImageEditForm.h"
#include "Imaging/RasterConversion.h"
#include "Platform/Controls/ControlMessages.h"
#include "Platform/Win/Dialog.h"
#include "Platform/Win/HeadlessBackend.h"
#include "Platform/Win/Painting.h"
#include "Platform/Win/Screen.h"
#include "UI/Skin.h"
#include "Views/ListView.h"
#include "Views/ListViewSelectItem.h"
#include "PixelReference.h"

#include <gtest/gtest.h>

using namespace Platform;
using namespace EditorTest;
using Action = Backend::MouseAction;

namespace {

class EditForm : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetUpSkin();
        owner = OwnerWindow(0, 0, 1000, 700);
        list.Create(owner, RECT{10, 10, 500, 400});
        Pump();
    }
    void TearDown() override
    {
        DestroyWindow(owner);
        Pump();
    }

    ListViewItem* AddPhoto(const PictureHandle& picture, const std::string& name)
    {
        ListViewItem* tile =
            list.AddItem(std::make_unique<ListViewSelectItem>(std::make_shared<ImageData>(WritePhoto(picture, name))));
        tile->Data()->Load();
        return tile;
    }

    enum class Ending { AfterBody, ByBody };

    // Runs the editor of tile; body runs inside its modal loop, and the editor is
    // ended with 0 after it unless the body sees to that.
    INT_PTR RunEditor(ListViewItem* tile, const std::function<void(ImageEditForm&, HWND)>& body,
                      Ending ending = Ending::AfterBody)
    {
        ImageEditForm form(tile);
        WhenUp(owner, [&](HWND dialog) {
            body(form, dialog);
            if (ending == Ending::AfterBody)
                EndDialog(dialog, 0);
        });
        return form.DoModal(owner);
    }

    static void Click(HWND dialog, const ControlBase& control)
    {
        Mouse(
            dialog, Action::Move,
            POINT{(control.bounds.left + control.bounds.right) / 2, (control.bounds.top + control.bounds.bottom) / 2});
        Mouse(
            dialog, Action::LeftDown,
            POINT{(control.bounds.left + control.bounds.right) / 2, (control.bounds.top + control.bounds.bottom) / 2});
        Mouse(
            dialog, Action::LeftUp,
            POINT{(control.bounds.left + control.bounds.right) / 2, (control.bounds.top + control.bounds.bottom) / 2});
        Pump();
    }

    static void Type(Editor& field, const wchar_t* text) { SetWindowTextW(field.GetHwnd(), text); }

    static SIZE SizeOf(const PictureHandle& picture)
    {
        return SIZE{static_cast<int>(picture->GetWidth()), static_cast<int>(picture->GetHeight())};
    }

    HWND owner = nullptr;
    ListView list;
};

TEST_F(EditForm, ASmallPictureOpensUnscaledWithItsSizeInTheFields)
{
    ListViewItem* tile = AddPhoto(PatternPicture(400, 300), "small");
    RunEditor(tile, [&](ImageEditForm& form, HWND dialog) {
        RECT window;
        GetWindowRect(dialog, &window);
        EXPECT_EQ(window.right - window.left, 800);
        EXPECT_EQ(window.bottom - window.top, 600);
        // Centred over the owner.
        EXPECT_EQ(window.left, 100);
        EXPECT_EQ(window.top, 50);
        RECT canvas;
        GetWindowRect(form.canvas.hwnd, &canvas);
        EXPECT_EQ(canvas, (RECT{window.left + 79, window.top + 52, window.left + 793, window.top + 567}));
        EXPECT_EQ(form.canvas.ShownSize(), (SIZE{400, 300}));
        EXPECT_EQ(form.canvas.PictureOrigin(), (POINT{148, 99}));
        EXPECT_EQ(form.widthField.GetInt(), 400);
        EXPECT_EQ(form.heightField.GetInt(), 300);
        EXPECT_TRUE(form.resizeButton.disabled);
        EXPECT_EQ(form.okButton.bounds, (RECT{643, 571, 715, 596}));
        EXPECT_EQ(form.closeButton.bounds, (RECT{779, 5, 794, 20}));
        EXPECT_EQ(form.clipTab.bounds, (RECT{7, 187, 79, 212}));
    });
}

TEST_F(EditForm, TheSizeFieldsKeepTheRatioAndEnableResizing)
{
    ListViewItem* tile = AddPhoto(PatternPicture(400, 300), "ratio");
    RunEditor(tile, [&](ImageEditForm& form, HWND dialog) {
        Type(form.widthField, L"200");
        EXPECT_EQ(form.heightField.GetInt(), 150);
        EXPECT_FALSE(form.resizeButton.disabled);
        Type(form.widthField, L"400");
        EXPECT_TRUE(form.resizeButton.disabled);
        // Without the ratio the fields are free; far too large a number is capped.
        form.keepRatioBox.SetChecked(0);
        Type(form.heightField, L"99999999999");
        EXPECT_EQ(form.widthField.GetInt(), 400);
        Type(form.widthField, L"99999999999");
        EXPECT_FALSE(form.resizeButton.disabled);
        // 65,535 x 65,535 is beyond what a raster may hold: nothing changes.
        Click(dialog, form.resizeButton);
        EXPECT_EQ(form.canvas.GetImageSize(), (SIZE{400, 300}));
        Type(form.widthField, L"400");
        Type(form.heightField, L"120");
        Click(dialog, form.resizeButton);
        EXPECT_EQ(form.canvas.GetImageSize(), (SIZE{400, 120}));
        EXPECT_TRUE(form.resizeButton.disabled);
    });
}

TEST_F(EditForm, OkWithoutAnEditKeepsThePictureAtItsOwnResolution)
{
    ListViewItem* tile = AddPhoto(PatternPicture(4000, 3000), "large");
    const PictureHandle before = tile->Data()->Picture();
    RunEditor(tile, [&](ImageEditForm& form, HWND dialog) {
        EXPECT_EQ(form.canvas.ShownSize(), (SIZE{664, 498}));
        EXPECT_EQ(form.widthField.GetInt(), 4000);
        EXPECT_EQ(form.heightField.GetInt(), 3000);
        Click(dialog, form.okButton);
    });
    EXPECT_EQ(tile->Data()->Picture(), before);
}

TEST_F(EditForm, OkGivesTheTileTheBrightenedAndCroppedPictureAtFullResolution)
{
    ListViewItem* tile = AddPhoto(PatternPicture(1600, 1200), "crop");
    RunEditor(tile, [&](ImageEditForm& form, HWND dialog) {
        Click(dialog, form.lightTab);
        form.brightnessSlider.valueChanged(40);
        EXPECT_EQ(form.brightnessField.GetInt(), 40);
        Click(dialog, form.clipTab);
        // Shown at 664 x 498 from (16, 0): the selection maps to picture pixels.
        Drag(form.canvas.hwnd, POINT{100, 100}, POINT{300, 250});
        EXPECT_EQ(GetWindowTextW(form.clipWidthField.GetHwnd()), L"501");
        Click(dialog, form.cropButton);
        Click(dialog, form.okButton);
    });
    const PictureHandle stored = tile->Data()->Picture();
    ASSERT_TRUE(stored);
    // The outer rectangle (96, 96)-(304, 254) less the origin (16, 0), times 1600 / 664.
    EXPECT_EQ(SizeOf(stored), (SIZE{501, 381}));
    RasterImage expected = PictureToRaster(PatternPicture(1600, 1200));
    expected.Crop(193, 231, 694, 612);
    expected.AdjustLight(40, 0);
    const RasterImage got = PictureToRaster(stored);
    for (POINT p : {POINT{0, 0}, POINT{500, 379}, POINT{250, 100}})
        EXPECT_EQ(At(got, p.x, p.y), At(expected, p.x, p.y)) << p.x << "," << p.y;
    ASSERT_TRUE(tile->Data()->Thumbnail());
    const SIZE thumbnail = SizeOf(tile->Data()->Thumbnail());
    EXPECT_NEAR(static_cast<double>(thumbnail.cx) / thumbnail.cy, 501.0 / 381.0, 0.02);
}

TEST_F(EditForm, CancelAndCloseStoreNothingAndEscAndEnterLeaveTheFormOpen)
{
    ListViewItem* tile = AddPhoto(PatternPicture(300, 200), "cancel");
    const PictureHandle before = tile->Data()->Picture();
    for (auto end : {&ImageEditForm::cancelButton, &ImageEditForm::closeButton}) {
        RunEditor(tile, [&](ImageEditForm& form, HWND dialog) {
            Click(dialog, form.rotationTab);
            Click(dialog, form.turnLeftButton);
            EXPECT_TRUE(form.canvas.IsEdited());
            Click(dialog, form.*end);
        });
    }
    EXPECT_EQ(tile->Data()->Picture(), before);
    // A form that Esc or Enter ended would leave its loop before this timer's turn.
    const INT_PTR result = RunEditor(
        tile,
        [&](ImageEditForm&, HWND dialog) {
            Key(VK_ESCAPE);
            Key(VK_RETURN);
            SetTimer(dialog, 5, 1, [](HWND window, UINT, UINT_PTR, DWORD) {
                KillTimer(window, 5);
                EndDialog(window, 5);
            });
        },
        Ending::ByBody);
    EXPECT_EQ(result, 5);
}

TEST_F(EditForm, TheQualityPanelShowsWhatTheFormatAllows)
{
    ListViewItem* tile = AddPhoto(PatternPicture(300, 200), "quality");
    RunEditor(tile, [&](ImageEditForm& form, HWND dialog) {
        Click(dialog, form.qualityTab);
        EXPECT_TRUE(form.formatList.visible && form.qualityLabel.visible);
        EXPECT_FALSE(form.qualitySlider.visible || form.qualityField.visible || form.applyButton.visible);
        EXPECT_FALSE(form.widthField.visible);
        SendMessageW(form.formatList.GetHwnd(), CB_SETCURSEL, 1, 0);
        form.formatList.selectionChanged(1);
        EXPECT_TRUE(form.qualitySlider.visible && form.qualityField.visible && form.applyButton.visible);
        EXPECT_EQ(form.qualityField.GetInt(), 100);
        SendMessageW(form.formatList.GetHwnd(), CB_SETCURSEL, 2, 0);
        form.formatList.selectionChanged(2);
        EXPECT_FALSE(form.qualitySlider.visible || form.qualityField.visible);
        EXPECT_TRUE(form.applyButton.visible);
        Click(dialog, form.sizeTab);
        Click(dialog, form.qualityTab);
        EXPECT_FALSE(form.qualitySlider.visible);
        EXPECT_TRUE(form.applyButton.visible);
    });
}

TEST_F(EditForm, SaturationAppliesTheFieldsNumberOnlyOnAdjust)
{
    ListViewItem* tile = AddPhoto(PatternPicture(300, 200), "saturate");
    RunEditor(tile, [&](ImageEditForm& form, HWND dialog) {
        Click(dialog, form.saturateTab);
        form.saturationSlider.valueChanged(60);
        EXPECT_EQ(form.saturationField.GetInt(), 60);
        EXPECT_FALSE(form.canvas.IsEdited());
        Click(dialog, form.adjustButton);
        EXPECT_EQ(form.canvas.saturation, 60);
        Click(dialog, form.undoTab);
        EXPECT_FALSE(form.canvas.IsEdited());
        EXPECT_EQ(form.saturationField.GetInt(), 0);
    });
}

TEST_F(EditForm, OnlyTheClipPanelDrawsASelectionAndLeavingItRemovesIt)
{
    ListViewItem* tile = AddPhoto(PatternPicture(300, 200), "clip");
    RunEditor(tile, [&](ImageEditForm& form, HWND dialog) {
        Drag(form.canvas.hwnd, POINT{250, 200}, POINT{300, 260});
        EXPECT_TRUE(form.canvas.tracker.IsEmpty());
        Click(dialog, form.clipTab);
        Drag(form.canvas.hwnd, POINT{250, 200}, POINT{300, 260});
        EXPECT_EQ(GetWindowTextW(form.clipWidthField.GetHwnd()), L"58");
        EXPECT_EQ(GetWindowTextW(form.clipHeightField.GetHwnd()), L"68");
        Click(dialog, form.rotationTab);
        EXPECT_TRUE(form.canvas.tracker.IsEmpty());
        Drag(form.canvas.hwnd, POINT{250, 200}, POINT{300, 260});
        EXPECT_TRUE(form.canvas.tracker.IsEmpty());
    });
}

TEST_F(EditForm, TheFrameResizesFromItsEdgesDownToTheMinimumAndNotWhileMaximised)
{
    ListViewItem* tile = AddPhoto(PatternPicture(300, 200), "frame");
    RunEditor(tile, [&](ImageEditForm& form, HWND dialog) {
        RECT w;
        GetWindowRect(dialog, &w);
        auto hit = [&](int x, int y) { return SendMessageW(dialog, WM_NCHITTEST, 0, MAKELPARAM(x, y)); };
        EXPECT_EQ(hit(w.left + 2, w.top + 300), HTLEFT);
        EXPECT_EQ(hit(w.right - 2, w.top + 300), HTRIGHT);
        EXPECT_EQ(hit(w.left + 300, w.top + 1), HTTOP);
        EXPECT_EQ(hit(w.left + 300, w.bottom - 1), HTBOTTOM);
        EXPECT_EQ(hit(w.left + 8, w.top + 8), HTTOPLEFT);
        EXPECT_EQ(hit(w.right - 8, w.top + 8), HTTOPRIGHT);
        EXPECT_EQ(hit(w.left + 8, w.bottom - 8), HTBOTTOMLEFT);
        EXPECT_EQ(hit(w.right - 8, w.bottom - 8), HTBOTTOMRIGHT);
        EXPECT_EQ(hit(w.left + 300, w.top + 300), HTCLIENT);

        Mouse(dialog, Action::Move, POINT{795, 595});
        Pump();
        EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_SIZENWSE));
        const POINT corner{w.right - 5, w.bottom - 5};
        CurrentBackend().InjectMouse(Action::LeftDown, corner);
        CurrentBackend().InjectMouse(Action::Move, POINT{corner.x - 50, corner.y - 40});
        CurrentBackend().InjectMouse(Action::Move, POINT{corner.x - 300, corner.y - 300});
        CurrentBackend().InjectMouse(Action::LeftUp, POINT{corner.x - 300, corner.y - 300});
        Pump();
        RECT after;
        GetWindowRect(dialog, &after);
        EXPECT_EQ(after, (RECT{w.left, w.top, w.left + 707, w.top + 500}));
        RECT canvasClient;
        GetClientRect(form.canvas.hwnd, &canvasClient);
        EXPECT_EQ(canvasClient, (RECT{0, 0, 604, 398}));

        Click(dialog, form.maximizeButton);
        EXPECT_TRUE(form.maximized);
        EXPECT_EQ(form.maximizeButton.imageNormal, "BtnRestore-Normal");
        GetWindowRect(dialog, &w);
        EXPECT_EQ(w, WorkAreaOf(dialog)) << "maximised, the form fits the work area exactly";
        EXPECT_EQ(hit(w.right - 2, w.top + 300), HTCLIENT);
        Mouse(dialog, Action::Move, POINT{w.right - w.left - 2, 300});
        Pump();
        EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
        Click(dialog, form.maximizeButton);
        EXPECT_FALSE(form.maximized);
        EXPECT_EQ(form.maximizeButton.imageNormal, "BtnMax-Normal");
    });
}

TEST_F(EditForm, ATileThatLeftTheListMeanwhileIsNotWrittenTo)
{
    ListViewItem* tile = AddPhoto(PatternPicture(300, 200), "gone");
    const std::int32_t id = tile->Id();
    RunEditor(tile, [&](ImageEditForm& form, HWND dialog) {
        Click(dialog, form.rotationTab);
        Click(dialog, form.turnRightButton);
        list.RemoveItem(id);
        Click(dialog, form.okButton);
    });
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(EditForm, NothingOpensTheEditorWhileAnUploadRuns)
{
    ListViewItem* tile = AddPhoto(PatternPicture(300, 200), "busy");
    AppState::Instance().SetUploading();
    EXPECT_FALSE(ImageEditForm::Edit(tile, owner));
    AppState::Instance().SetEnded();
    bool opened = false;
    WhenUp(owner, [&](HWND dialog) {
        opened = IsWindowVisible(dialog);
        EndDialog(dialog, 0);
    });
    EXPECT_TRUE(ImageEditForm::Edit(tile, owner));
    EXPECT_TRUE(opened);
}

// What the editor looks like with each panel shown, compared with the references
// named Editor/editor-PREFIXPANEL.png. inPanel runs with each panel shown.
class EditorPictures : public EditForm {
protected:
    void ShootEveryPanel(ListViewItem* tile, const std::string& prefix,
                         const std::function<void(ImageEditForm&, const std::string&)>& inPanel);
};

void EditorPictures::ShootEveryPanel(ListViewItem* tile, const std::string& prefix,
                                     const std::function<void(ImageEditForm&, const std::string&)>& inPanel)
{
    std::vector<std::string> written;
    RunEditor(tile, [&](ImageEditForm& form, HWND dialog) {
        const std::pair<Zivoro::UI::Controls::Button*, std::string> tabs[] = {
            {&form.sizeTab, "size"},         {&form.lightTab, "light"},     {&form.saturateTab, "saturate"},
            {&form.rotationTab, "rotation"}, {&form.qualityTab, "quality"}, {&form.clipTab, "clip"}};
        for (const auto& [tab, name] : tabs) {
            Click(dialog, *tab);
            if (name == "light") {
                form.brightnessSlider.SetValue(60);
                form.brightnessSlider.valueChanged(60);
            }
            if (name == "saturate") {
                form.saturationSlider.SetValue(40);
                form.saturationSlider.valueChanged(40);
                Click(dialog, form.adjustButton);
            }
            if (name == "quality") {
                SendMessageW(form.formatList.GetHwnd(), CB_SETCURSEL, 1, 0);
                form.formatList.selectionChanged(1);
            }
            if (name == "clip")
                Drag(form.canvas.hwnd, POINT{200, 120}, POINT{420, 330});
            Mouse(dialog, Action::Move, POINT{400, 590});
            Pump();
            UpdateWindow(dialog);
            inPanel(form, name);
            const std::string picture = "Editor/editor-" + prefix + name + ".png";
            if (dynamic_cast<HeadlessBackend&>(CurrentBackend())
                    .Screenshot(dialog, PixelReference::OutputPath(picture)))
                written.push_back(picture);
        }
    });
    ASSERT_EQ(written.size(), 6u);
    for (const std::string& picture : written) {
        const auto compared = PixelReference::CompareWithReference(picture);
        EXPECT_TRUE(compared.matches) << compared.message;
    }
}

TEST_F(EditorPictures, EveryPanelLooksFinished)
{
    ShootEveryPanel(AddPhoto(LandscapePicture(1200, 800), "looks"), "", [](ImageEditForm&, const std::string&) {});
}

// English texts wider than the Chinese ones move the rest of their row right: no
// label runs into the control after it, and the row still fits the panel.
TEST_F(EditorPictures, EveryPanelInEnglishKeepsItsRowsApart)
{
    AppConfig::Instance().Language = UiLanguage::English;
    ShootEveryPanel(AddPhoto(LandscapePicture(1200, 800), "english"), "en-",
                    [](ImageEditForm& form, const std::string& name) {
                        const std::vector<std::pair<ControlBase*, ControlBase*>> neighbours = {
                            {&form.widthLabel, &form.widthField},
                            {&form.heightLabel, &form.heightField},
                            {&form.brightnessLabel, &form.brightnessSlider},
                            {&form.contrastLabel, &form.contrastSlider},
                            {&form.saturationLabel, &form.saturationSlider},
                            {&form.qualityLabel, &form.qualitySlider},
                            {&form.clipWidthLabel, &form.clipWidthField},
                            {&form.clipHeightLabel, &form.clipHeightField},
                            {&form.keepRatioBox, &form.resizeButton}};
                        for (const auto& [label, next] : neighbours) {
                            if (label->visible) {
                                EXPECT_LT(label->bounds.right, next->margins.left) << name;
                            }
                        }
                        EXPECT_EQ(form.sizeTab.text, L"Resize");
                    });
    AppConfig::Instance().Language = UiLanguage::Chinese;
}

} // namespace
