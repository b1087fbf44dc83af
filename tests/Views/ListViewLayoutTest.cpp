#include "ListViewSupport.h"

#include "Platform/Win/Input.h"

using namespace ListViewTest;

namespace {

class ListLayout : public ListFixture {
protected:
    // Upload-sized tiles, as the main view sets them.
    void MakeUploadSizedList(int width, int height)
    {
        MakeList(width, height);
        list->SetItemWidth(150);
        list->SetItemHeight(151);
    }

    bool ScrollBarShown() const { return (GetWindowStyle(list->GetHwnd()) & WS_VSCROLL) != 0; }
};

TEST_F(ListLayout, TilesFillRowsOfColumnsThatLeaveRoomForTheScrollBar)
{
    MakeUploadSizedList(600, 400);
    Fill(7);
    EXPECT_EQ(list->Columns(), 3);
    EXPECT_EQ(list->Rows(), 3);
    EXPECT_EQ(list->ContentHeight(), 557);
    EXPECT_EQ(list->Items()[0]->GetBounds(), (RECT{4, 4, 154, 155}));
    EXPECT_EQ(list->Items()[4]->GetBounds(), (RECT{168, 187, 318, 338}));
    EXPECT_EQ(list->Items()[6]->GetBounds(), (RECT{4, 370, 154, 521}));
}

TEST_F(ListLayout, ANarrowListStillHasOneColumn)
{
    MakeUploadSizedList(100, 400);
    Fill(2);
    EXPECT_EQ(list->Columns(), 1);
    EXPECT_EQ(list->Rows(), 2);
    EXPECT_EQ(list->Items()[1]->GetBounds(), (RECT{4, 187, 154, 338}));
}

TEST_F(ListLayout, AnEmptyListHasNoRowsAndNoScrollBar)
{
    MakeUploadSizedList(600, 400);
    list->Layout();
    list->UpdateScrollBar();
    PumpPending();
    EXPECT_EQ(list->Rows(), 0);
    EXPECT_FALSE(ScrollBarShown());
    EXPECT_EQ(list->ItemAt(POINT{10, 10}), nullptr);
}

TEST_F(ListLayout, TheScrollBarShowsOnlyWhileTheTilesOverflow)
{
    MakeUploadSizedList(600, 400);
    Fill(6);
    EXPECT_FALSE(ScrollBarShown());
    EXPECT_EQ(list->MaxScrollPosition(), 0);
    Fill(1);
    EXPECT_TRUE(ScrollBarShown());
    EXPECT_EQ(list->Columns(), 3) << "the bar's room was kept free";
    SCROLLINFO info;
    info.fMask = SIF_RANGE | SIF_PAGE;
    GetScrollInfo(list->GetHwnd(), SB_VERT, &info);
    EXPECT_EQ(info.nMax, 557);
    EXPECT_EQ(info.nPage, 400u);
    list->Clear();
    PumpPending();
    EXPECT_FALSE(ScrollBarShown());
}

TEST_F(ListLayout, PositionsClampToTheLastFullPage)
{
    MakeUploadSizedList(600, 400);
    Fill(7);
    const int maximum = list->MaxScrollPosition();
    EXPECT_EQ(maximum, 557 - 400 + 1);
    list->ScrollTo(10000);
    EXPECT_EQ(list->ScrollPosition(), maximum);
    list->ScrollTo(-5);
    EXPECT_EQ(list->ScrollPosition(), 0);
}

TEST_F(ListLayout, ResizingTheWindowLaysTheTilesOutAgainKeepingThePosition)
{
    MakeUploadSizedList(600, 300);
    Fill(10);
    list->ScrollTo(100);
    MoveWindow(list->GetHwnd(), 10, 20, 800, 300, TRUE);
    PumpPending();
    EXPECT_EQ(list->Columns(), 4);
    EXPECT_EQ(list->Items()[4]->GetBounds(), (RECT{4, 187, 154, 338}));
    EXPECT_EQ(list->ScrollPosition(), 100);
    // Taller than the content: the position falls back to what still fits.
    MoveWindow(list->GetHwnd(), 10, 20, 800, 560, TRUE);
    PumpPending();
    EXPECT_EQ(list->ScrollPosition(), 0);
    EXPECT_FALSE(ScrollBarShown());
}

TEST_F(ListLayout, LookupsByIdAndPointFindOnlyWhatIsThere)
{
    MakeUploadSizedList(600, 400);
    Fill(3);
    ListViewItem* second = list->Items()[1];
    EXPECT_EQ(second->Id(), 1);
    EXPECT_EQ(list->FindById(1), second);
    EXPECT_EQ(list->FindById(-1), nullptr);
    EXPECT_EQ(list->IndexOf(2), 2);
    EXPECT_EQ(list->IndexOf(9), -1);
    EXPECT_EQ(list->ItemAt(POINT{170, 10}), second);
    EXPECT_EQ(list->ItemAt(POINT{160, 10}), nullptr) << "the gap between columns";
    EXPECT_TRUE(list->ContainsPath(PathOf(L"2.jpg")));
    EXPECT_FALSE(list->ContainsPath(PathOf(L"2.JPG")));
    ListViewSelectItem stranger(std::make_shared<ImageData>(PathOf(L"0.jpg")));
    EXPECT_TRUE(list->ContainsFile(&stranger));
}

TEST_F(ListLayout, SizesAddUpBeyondTwoGigabytes)
{
    MakeUploadSizedList(600, 400);
    Fill(3);
    for (ListViewItem* tile : list->Items())
        tile->Data()->fileSize = 1'500'000'000;
    list->Items()[0]->SetChecked(1);
    list->Items()[2]->SetChecked(1);
    EXPECT_EQ(list->SumSizes(), 4'500'000'000);
    EXPECT_EQ(list->SumCheckedSizes(), 3'000'000'000);
    EXPECT_EQ(list->CheckedCount(), 2);
    std::vector<ListViewItem*> checked;
    list->GetChecked(checked);
    EXPECT_EQ(checked, (std::vector<ListViewItem*>{list->Items()[0], list->Items()[2]}));
    list->SetAllChecked(0);
    EXPECT_EQ(list->SumCheckedSizes(), 0);
}

TEST_F(ListLayout, ATileIsVisibleWhilePartOfItLiesInTheWindow)
{
    MakeUploadSizedList(600, 400);
    Fill(9); // rows at 4, 187 and 370
    ListViewItem* last = list->Items()[8];
    EXPECT_TRUE(last->IsVisible()) << "its top 30 pixels show";
    EXPECT_TRUE(list->Items()[0]->IsVisible());
    list->ScrollTo(156);
    EXPECT_FALSE(list->Items()[0]->IsVisible()) << "bottom at 155, above the window";
    EXPECT_TRUE(list->Items()[3]->IsVisible());
    ListViewSelectItem loose(std::make_shared<ImageData>(PathOf(L"x.jpg")));
    EXPECT_FALSE(loose.IsVisible()) << "a tile of no list shows nowhere";
}

TEST_F(ListLayout, IdsAreNeverReusedAfterARemoval)
{
    MakeUploadSizedList(600, 400);
    Fill(2);
    list->RemoveItem(1);
    ListViewItem* added = AddTile(L"x.jpg");
    EXPECT_EQ(added->Id(), 2);
    EXPECT_EQ(added->List(), list.get());
}

} // namespace
