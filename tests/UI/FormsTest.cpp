#include "Biz/AppConfig.h"
#include "Biz/UiText.h"
#include "TestControls.h"
#include "TestForm.h"
#include "UI/CMessageDialog.h"
#include "UI/ExtForm.h"
#include "UI/Skin.h"
#include "PixelReference.h"

#include "Platform/Win/Backend.h"
#include "Platform/Win/Dialog.h"
#include "Platform/Win/Painting.h"
#include "Platform/Win/HeadlessBackend.h"
#include "Platform/Win/Input.h"
#include "Platform/Win/MessageLoop.h"
#include "Platform/Win/Screen.h"
#include "Platform/Win/Timer.h"
#include "Platform/Win/Window.h"
#include "Platform/Win/WinConstants.h"
#include "Platform/Win/WindowGeometry.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace Platform;
using Action = Backend::MouseAction;
using UITest::Pump;
using UITest::TestForm;

namespace {

// What the test does once the dialog is up, run from a timer inside its modal loop.
std::function<void(HWND dialog)> whileRunning;

void RunWhileUp(HWND owner)
{
    SetTimer(owner, 77, 1, [](HWND window, UINT, UINT_PTR, DWORD) {
        KillTimer(window, 77);
        whileRunning(GetActiveWindow());
    });
}

void Click(POINT screen)
{
    CurrentBackend().InjectMouse(Action::Move, screen);
    CurrentBackend().InjectMouse(Action::LeftDown, screen);
    CurrentBackend().InjectMouse(Action::LeftUp, screen);
}

class Forms : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetUpSkin();
        owner = UITest::CreatePlainWindow(L"FormsTestOwner", 0, 0, 1000, 700);
        ASSERT_TRUE(owner);
        Pump();
    }
    void TearDown() override { DestroyWindow(owner); }

    HWND owner = nullptr;
};

} // namespace

TEST_F(Forms, MessageDialogLaysOutItsControlsAndEndsWithTheButtonsResults)
{
    CMessageDialog dialog;
    dialog.SetMessage(L"上传列表为空，请选择文件");
    RECT windowRect{};
    whileRunning = [&](HWND window) {
        GetWindowRect(window, &windowRect);
        Click(POINT{windowRect.left + 280, windowRect.top + 150});
    };
    RunWhileUp(owner);
    EXPECT_EQ(dialog.DoModal(owner), 1);
    EXPECT_EQ(windowRect.right - windowRect.left, 384);
    EXPECT_EQ(windowRect.bottom - windowRect.top, 174);
    // Centred over the owner.
    EXPECT_EQ(windowRect.left, 500 - 192);
    EXPECT_EQ(windowRect.top, 350 - 87);
    EXPECT_EQ(dialog.title, L"提示消息");
    EXPECT_EQ(dialog.okButton.bounds, (RECT{257, 141, 308, 165}));
    EXPECT_EQ(dialog.cancelButton.bounds, (RECT{318, 141, 369, 165}));
    EXPECT_EQ(dialog.closeButton.bounds, (RECT{355, 12, 370, 27}));
    EXPECT_EQ(dialog.messageLabel.bounds.left, 100);
    EXPECT_EQ(dialog.messageLabel.bounds.top, 72);
}

TEST_F(Forms, CancelCloseAndEscEndWithTwoAndEnterWithOne)
{
    for (const POINT offset : {POINT{340, 150}, POINT{360, 18}}) {
        CMessageDialog dialog;
        whileRunning = [&](HWND window) {
            RECT rect;
            GetWindowRect(window, &rect);
            Click(POINT{rect.left + offset.x, rect.top + offset.y});
        };
        RunWhileUp(owner);
        EXPECT_EQ(dialog.DoModal(owner), 2) << offset.x;
    }
    for (const auto& [key, expected] : {std::pair{VK_ESCAPE, 2}, std::pair{VK_RETURN, 1}}) {
        CMessageDialog dialog;
        dialog.SetTitle(L"提示信息");
        whileRunning = [key = key](HWND) {
            CurrentBackend().InjectKey(key, true);
            CurrentBackend().InjectKey(key, false);
        };
        RunWhileUp(owner);
        EXPECT_EQ(dialog.DoModal(owner), expected);
        EXPECT_EQ(dialog.title, L"提示信息");
    }
}

// The notice without a set title, in each language: its title, text and buttons.
TEST_F(Forms, MessageDialogLooksFinished)
{
    const std::pair<UiLanguage, std::string> languages[] = {{UiLanguage::Chinese, "UI/message-dialog.png"},
                                                            {UiLanguage::English, "UI/message-dialog-en.png"}};
    for (const auto& [language, picture] : languages) {
        AppConfig::Instance().Language = language;
        CMessageDialog dialog;
        dialog.SetMessage(UiText::Get(TextId::TooManyFiles));
        bool saved = false;
        const std::string path = PixelReference::OutputPath(picture);
        whileRunning = [&](HWND window) {
            UpdateWindow(window);
            saved = dynamic_cast<HeadlessBackend&>(CurrentBackend()).Screenshot(window, path);
            EndDialog(window, 1);
        };
        RunWhileUp(owner);
        dialog.DoModal(owner);
        AppConfig::Instance().Language = UiLanguage::Chinese;
        EXPECT_EQ(dialog.title, UiText::Get(TextId::MessageTitle, language));
        ASSERT_TRUE(saved);
        const auto compared = PixelReference::CompareWithReference(picture);
        EXPECT_TRUE(compared.matches) << compared.message;
    }
}

TEST_F(Forms, DraggingEmptySpaceMovesTheWindowButAPressOnAButtonDoesNot)
{
    TestForm form;
    const RECT before = form.WindowRect();
    CurrentBackend().InjectMouse(Action::Move, POINT{before.left + 20, before.top + 60});
    CurrentBackend().InjectMouse(Action::LeftDown, POINT{before.left + 20, before.top + 60});
    CurrentBackend().InjectMouse(Action::Move, POINT{before.left + 50, before.top + 50});
    CurrentBackend().InjectMouse(Action::LeftUp, POINT{before.left + 50, before.top + 50});
    Pump();
    const RECT moved = form.WindowRect();
    EXPECT_EQ(moved.left, before.left + 30);
    EXPECT_EQ(moved.top, before.top - 10);
    EXPECT_FALSE(form.drager.IsDragging());

    int clicks = 0;
    form.button.clicked.connect([&] { ++clicks; });
    CurrentBackend().InjectMouse(Action::Move, POINT{moved.left + 110, moved.top + 110});
    CurrentBackend().InjectMouse(Action::LeftDown, POINT{moved.left + 110, moved.top + 110});
    CurrentBackend().InjectMouse(Action::Move, POINT{moved.left + 20, moved.top + 20});
    CurrentBackend().InjectMouse(Action::LeftUp, POINT{moved.left + 20, moved.top + 20});
    Pump();
    EXPECT_EQ(form.WindowRect(), moved);
    EXPECT_EQ(clicks, 0);
}

TEST_F(Forms, AMaximisedFormFillsTheWorkAreaAndCannotBeDragged)
{
    TestForm form;
    form.ToggleMaximize();
    Pump();
    RECT rect = form.WindowRect();
    EXPECT_EQ(rect, WorkAreaOf(form.hwnd)) << "no frame of the system's overhangs the work area";
    EXPECT_EQ(rect.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(form.bounds.right, rect.right);
    CurrentBackend().InjectMouse(Action::Move, POINT{20, 60});
    CurrentBackend().InjectMouse(Action::LeftDown, POINT{20, 60});
    CurrentBackend().InjectMouse(Action::Move, POINT{60, 90});
    CurrentBackend().InjectMouse(Action::LeftUp, POINT{60, 90});
    Pump();
    EXPECT_EQ(form.WindowRect(), rect);
    form.ToggleMaximize();
    Pump();
    EXPECT_EQ(form.WindowRect().right - form.WindowRect().left, 300);
    EXPECT_EQ(form.dragEnabled, 1);
}

namespace {

void Mouse(Action action, const TestForm& form, int x, int y)
{
    const RECT at = form.WindowRect();
    CurrentBackend().InjectMouse(action, POINT{at.left + x, at.top + y});
}

// A second control of the form, left of its button.
struct Neighbour : UITest::PressControl {
    explicit Neighbour(TestForm& form) : PressControl("neighbour")
    {
        SetMargins(10, 100, 0, 0);
        SetSize(50, 25);
        Attach(&form);
        UpdateLayout();
    }
};

// Presses the form's button, lets lose take the mouse away, then moves over the
// neighbour and releases over the button.
void PressAndLoseTheMouse(TestForm& form, Neighbour& neighbour, const std::function<void()>& lose)
{
    int clicks = 0;
    form.button.clicked.connect([&] { ++clicks; });
    Mouse(Action::Move, form, 110, 110);
    Mouse(Action::LeftDown, form, 110, 110);
    Pump();
    ASSERT_TRUE(form.button.state & StatePressed);
    lose();
    Pump();
    EXPECT_FALSE(form.button.state & StatePressed);
    neighbour.events.clear();
    Mouse(Action::Move, form, 20, 110);
    Mouse(Action::LeftUp, form, 110, 110);
    Pump();
    EXPECT_EQ(neighbour.events, std::vector<std::string>{"move"});
    EXPECT_TRUE(neighbour.state & StateHover);
    EXPECT_EQ(clicks, 0);
}

} // namespace

TEST_F(Forms, AControlDestroyedWhileItHoldsThePressIsForgotten)
{
    TestForm form;
    auto neighbour = std::make_unique<Neighbour>(form);
    const RECT before = form.WindowRect();
    Mouse(Action::Move, form, 20, 110);
    Mouse(Action::LeftDown, form, 20, 110);
    Pump();
    ASSERT_TRUE(neighbour->state & StatePressed);
    neighbour.reset();
    EXPECT_EQ(form.children, std::vector<ControlBase*>{&form.button});
    Mouse(Action::Move, form, 110, 110);
    Mouse(Action::LeftUp, form, 110, 110);
    Pump();
    EXPECT_TRUE(form.button.state & StateHover);
    EXPECT_EQ(form.WindowRect(), before);
}

TEST_F(Forms, AnotherWindowTakingTheMouseEndsThePressWithoutAClick)
{
    TestForm form;
    Neighbour neighbour(form);
    PressAndLoseTheMouse(form, neighbour, [&] {
        SetCapture(owner);
        ReleaseCapture();
    });
}

TEST_F(Forms, AMessageDialogOpenedMidPressTakesTheMouse)
{
    TestForm form;
    Neighbour neighbour(form);
    PressAndLoseTheMouse(form, neighbour, [&] {
        CMessageDialog dialog;
        whileRunning = [&](HWND window) {
            RECT rect;
            GetWindowRect(window, &rect);
            Click(POINT{rect.left + 280, rect.top + 150});
            // Ends the dialog another way when the click did not reach its OK button.
            SetTimer(window, 78, 1, [](HWND dialogWindow, UINT, UINT_PTR, DWORD) { EndDialog(dialogWindow, 99); });
        };
        // Without an owner, so that it is the dialog itself and not the disabling of
        // its owner that ends the press.
        RunWhileUp(owner);
        EXPECT_EQ(dialog.DoModal(nullptr), 1);
    });
}
