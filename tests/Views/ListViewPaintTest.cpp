#include "ListViewSupport.h"

#include "Gdiplus/TestPictures.h"
#include "PixelReference.h"
#include "Platform/Gdi/Drawing.h"
#include "UI/Skin.h"

using namespace ListViewTest;

namespace {

// The list window's pixels as the screen shows them (x, y in the list's client area).
class ListPixels : public ListFixture {
protected:
    void SetUp() override
    {
        ListFixture::SetUp();
        SetUpSkin();
        MakeList(480, 400, ListView::Role::PickerGrid);
    }

    // A picker tile for a picture file of the given size, read at once.
    ListViewItem* AddPicture(const std::string& name, int width, int height)
    {
        const auto bytes = TestPictures::Encode(*TestPictures::Pattern(width, height), TestPictures::Png);
        auto record = std::make_shared<ImageData>(folder.File(name, bytes));
        record->Load();
        return list->AddItem(std::make_unique<ListViewSelectItem>(record));
    }

    COLORREF Pixel(int x, int y)
    {
        UpdateWindow(list->GetHwnd());
        HDC dc = GetDC(list->GetHwnd());
        const COLORREF pixel = GetPixel(dc, x, y);
        ReleaseDC(list->GetHwnd(), dc);
        return pixel;
    }

    void Hover(int x, int y)
    {
        CurrentBackend().InjectMouse(Backend::MouseAction::Move, Screen(x, y));
        PumpPending();
    }

    TestPictures::TempFolder folder;
};

TEST_F(ListPixels, AnEmptyListPaintsWhite)
{
    EXPECT_EQ(Pixel(0, 0), RGB(255, 255, 255));
    EXPECT_EQ(Pixel(479, 399), RGB(255, 255, 255));
}

TEST_F(ListPixels, HoveredAndCheckedPickerTilesHaveTheAccentOutline)
{
    AddPicture("wide.png", 300, 150);
    AddPicture("tall.png", 90, 180);
    Refresh();
    const COLORREF accent = list->AccentColor();
    EXPECT_EQ(Pixel(4, 4), RGB(255, 255, 255)) << "no border while neither hovered nor checked";
    Hover(70, 60);
    EXPECT_TRUE(list->Items()[0]->IsHovered());
    EXPECT_EQ(Pixel(4, 4), accent);
    EXPECT_EQ(Pixel(143, 144), accent) << "the outline's bottom-right corner";
    CurrentBackend().InjectMouse(Backend::MouseAction::Move, POINT{5, 5});
    PumpPending();
    EXPECT_EQ(Pixel(4, 4), accent) << "hover stays after the pointer left the window";
    Hover(224, 70);
    EXPECT_EQ(Pixel(4, 4), RGB(255, 255, 255));
    list->Items()[1]->SetChecked(1);
    Hover(470, 390);
    EXPECT_EQ(Pixel(158, 4), accent) << "checked: outlined without the pointer";
    EXPECT_EQ(Pixel(170, 9), RGB(0xBB, 0xE1, 0xF6)) << "inside the check mark";
    // The thumbnail: 120 x 60, centred in the picture area (5, 5) .. (143, 115).
    EXPECT_NE(Pixel(74, 60), RGB(255, 255, 255));
    EXPECT_EQ(Pixel(74, 25), RGB(255, 255, 255));
}

TEST_F(ListPixels, AListOfPickerTilesLooksFinished)
{
    AddPicture("IMG_0001.png", 400, 300);
    AddPicture("IMG_0002.png", 300, 400);
    AddPicture("panorama.png", 600, 200);
    AddPicture("a-very-long-file-name-of-a-photo.png", 120, 120);
    AddPicture("IMG_0005.png", 64, 48);
    Refresh();
    list->Items()[1]->SetChecked(1);
    list->Items()[4]->SetChecked(1);
    Hover(70 + 154 * 2, 60);
    UpdateWindow(list->GetHwnd());
    const std::string path = PixelReference::OutputPath("Views/picker-list.png");
    RECT area{10, 20, 490, 420};
    ASSERT_TRUE(Headless().Screenshot(owner, path, &area));
    const auto compared = PixelReference::CompareWithReference("Views/picker-list.png");
    EXPECT_TRUE(compared.matches) << compared.message;
}

} // namespace
