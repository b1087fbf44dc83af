#include "EditorTestSupport.h"

#include "Editor/ImageViewForm.h"
#include "Platform/Win/HeadlessBackend.h"
#include "Platform/Win/Painting.h"
#include "UI/Skin.h"
#include "Views/ListView.h"
#include "Views/ListViewSelectItem.h"
#include "PixelReference.h"

#include <gtest/gtest.h>

using namespace Platform;
using namespace EditorTest;
using Action = Backend::MouseAction;

namespace {

class ViewForm : public ::testing::Test {
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
        ImageViewForm::CloseAllOf(&list);
        DestroyWindow(owner);
        Pump();
    }

    ListViewItem* AddPhoto(int width, int height, bool landscape = false)
    {
        const std::string name = "view-" + std::to_string(width) + "x" + std::to_string(height);
        const PictureHandle picture = landscape ? LandscapePicture(width, height) : PatternPicture(width, height);
        return list.AddItem(
            std::make_unique<ListViewSelectItem>(std::make_shared<ImageData>(WritePhoto(picture, name))));
    }

    static SIZE WindowSize(HWND window)
    {
        RECT rect;
        GetWindowRect(window, &rect);
        return SIZE{rect.right - rect.left, rect.bottom - rect.top};
    }

    static bool Centred(HWND window)
    {
        RECT rect;
        GetWindowRect(window, &rect);
        return std::abs(rect.left + rect.right - 1920) <= 1 && std::abs(rect.top + rect.bottom - 1040) <= 1;
    }

    HWND owner = nullptr;
    ListView list;
};

TEST_F(ViewForm, TheWindowFitsThePictureIntoTheWorkAreaAndKeepsTheMinimum)
{
    const std::pair<SIZE, SIZE> cases[] = {
        {SIZE{800, 600}, SIZE{800, 600}},     {SIZE{300, 200}, SIZE{613, 413}},    {SIZE{4000, 1000}, SIZE{1920, 480}},
        {SIZE{3000, 2500}, SIZE{1248, 1040}}, {SIZE{1000, 4000}, SIZE{613, 1040}},
    };
    for (const auto& [picture, window] : cases) {
        ImageViewForm* form = ImageViewForm::Open(AddPhoto(picture.cx, picture.cy));
        Pump();
        EXPECT_EQ(WindowSize(form->hwnd), window) << picture.cx << "x" << picture.cy;
        EXPECT_TRUE(Centred(form->hwnd));
        EXPECT_TRUE(GetWindowLongPtrW(form->hwnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
        delete form;
    }
}

TEST_F(ViewForm, TheArrowsStepThroughTheListAndTheWindowFollows)
{
    ListViewItem* first = AddPhoto(800, 600);
    AddPhoto(300, 200);
    AddPhoto(4000, 1000);
    ImageViewForm* form = ImageViewForm::Open(first);
    Pump();
    EXPECT_FALSE(form->previousButton.visible);
    EXPECT_TRUE(form->nextButton.visible);
    form->ShowPrevious();
    EXPECT_EQ(form->index, 0);
    form->ShowNext();
    EXPECT_EQ(form->index, 1);
    EXPECT_EQ(WindowSize(form->hwnd), (SIZE{613, 413}));
    EXPECT_TRUE(Centred(form->hwnd));
    EXPECT_TRUE(form->previousButton.visible && form->nextButton.visible);
    // The arrow itself, pressed at the right edge halfway down.
    Mouse(form->hwnd, Action::Move, POINT{613 - 24, 206});
    Mouse(form->hwnd, Action::LeftDown, POINT{613 - 24, 206});
    Mouse(form->hwnd, Action::LeftUp, POINT{613 - 24, 206});
    Pump();
    EXPECT_EQ(form->index, 2);
    EXPECT_EQ(WindowSize(form->hwnd), (SIZE{1920, 480}));
    EXPECT_TRUE(form->previousButton.visible);
    EXPECT_FALSE(form->nextButton.visible);
    form->ShowNext();
    EXPECT_EQ(form->index, 2);
}

TEST_F(ViewForm, SteppingSurvivesTilesLeavingTheList)
{
    ListViewItem* first = AddPhoto(800, 600);
    ListViewItem* second = AddPhoto(300, 200);
    ListViewItem* third = AddPhoto(640, 480);
    ImageViewForm* form = ImageViewForm::Open(second);
    Pump();
    const std::int32_t firstId = first->Id(), thirdId = third->Id();
    list.RemoveItem(second->Id());
    // The shown picture stays; the arrows lead to the tiles on either side of its place.
    EXPECT_TRUE(form->previousButton.visible && form->nextButton.visible);
    form->ShowNext();
    EXPECT_EQ(form->index, 1);
    EXPECT_EQ(form->record, list.FindById(thirdId)->Data());
    list.RemoveItem(thirdId);
    list.RemoveItem(firstId);
    EXPECT_FALSE(form->previousButton.visible || form->nextButton.visible);
    form->ShowNext();
    form->ShowPrevious();
    EXPECT_EQ(form->index, 0);
    ASSERT_TRUE(form->record);
}

TEST_F(ViewForm, EscFocusLossAndTheCloseButtonCloseIt)
{
    ListViewItem* tile = AddPhoto(800, 600);
    for (int way = 0; way < 3; ++way) {
        ImageViewForm* form = ImageViewForm::Open(tile);
        Pump();
        const HWND window = form->hwnd;
        ASSERT_TRUE(IsWindowVisible(window));
        EXPECT_EQ(GetFocus(), window);
        if (way == 0) {
            Key(VK_ESCAPE);
        } else if (way == 1) {
            SetFocus(owner);
        } else {
            const POINT close{(form->closeButton.bounds.left + form->closeButton.bounds.right) / 2, 12};
            Mouse(window, Action::Move, close);
            Mouse(window, Action::LeftDown, close);
            Mouse(window, Action::LeftUp, close);
        }
        Pump();
        EXPECT_FALSE(IsWindow(window)) << way;
    }
    // Other keys do nothing.
    ImageViewForm* form = ImageViewForm::Open(tile);
    Pump();
    Key('A');
    Pump();
    EXPECT_TRUE(IsWindowVisible(form->hwnd));
}

TEST_F(ViewForm, ClosingGivesTheActivationBackUnlessAnotherWindowTookIt)
{
    ListViewItem* tile = AddPhoto(800, 600);
    for (const bool byEsc : {true, false}) {
        SetActiveWindow(owner);
        SetFocus(list.GetHwnd());
        ImageViewForm* form = ImageViewForm::Open(tile);
        Pump();
        ASSERT_EQ(GetActiveWindow(), form->hwnd);
        if (byEsc) {
            Key(VK_ESCAPE);
        } else {
            form->Close();
        }
        Pump();
        EXPECT_EQ(GetActiveWindow(), owner) << byEsc;
        EXPECT_EQ(GetFocus(), list.GetHwnd()) << "the keyboard goes on where it was";
    }

    // A click on another window closes the preview; that window stays active.
    const HWND other = OwnerWindow(1200, 100, 300, 200);
    SetActiveWindow(owner);
    ImageViewForm* form = ImageViewForm::Open(tile);
    Pump();
    const HWND preview = form->hwnd;
    SetActiveWindow(other);
    Pump();
    EXPECT_FALSE(IsWindow(preview));
    EXPECT_EQ(GetActiveWindow(), other);
    DestroyWindow(other);
}

TEST_F(ViewForm, APictureThatCannotBeReadGivesTheMinimumWindow)
{
    ListViewItem* tile = list.AddItem(
        std::make_unique<ListViewSelectItem>(std::make_shared<ImageData>(L"/nonexistent-trellan/missing.jpg")));
    ImageViewForm* form = ImageViewForm::Open(tile);
    Pump();
    EXPECT_EQ(WindowSize(form->hwnd), (SIZE{613, 413}));
}

TEST_F(ViewForm, ThePreviewLooksFinished)
{
    AddPhoto(300, 200);
    ImageViewForm* form = ImageViewForm::Open(AddPhoto(900, 600, true));
    AddPhoto(640, 480);
    form->UpdateArrows();
    Pump();
    UpdateWindow(form->hwnd);
    const std::string picture = "Editor/preview.png";
    ASSERT_TRUE(
        dynamic_cast<HeadlessBackend&>(CurrentBackend()).Screenshot(form->hwnd, PixelReference::OutputPath(picture)));
    const auto compared = PixelReference::CompareWithReference(picture);
    EXPECT_TRUE(compared.matches) << compared.message;
}

} // namespace
