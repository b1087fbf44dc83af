#include "ListViewSupport.h"

#include "Biz/AppState.h"
#include "Platform/Controls/ControlMessages.h"
#include "Platform/Win/Input.h"

using namespace ListViewTest;

namespace {

// A tile whose release removes the tile and then still looks at itself, as a delete
// button does; it counts how many such tiles were destroyed.
class SelfRemovingTile : public ListViewSelectItem {
public:
    explicit SelfRemovingTile(std::shared_ptr<ImageData> record) : ListViewSelectItem(std::move(record)) {}
    ~SelfRemovingTile() override { ++destroyed; }

    void OnMouseUp(POINT) override
    {
        list->RemoveItem(Id());
        // Still alive: the list deletes it after this handler.
        seenAfterRemoval = GetState();
    }

    std::int32_t seenAfterRemoval = -1;
    static inline int destroyed = 0;
};

class ListInput : public ListFixture {
protected:
    void SetUp() override
    {
        ListFixture::SetUp();
        MakeList(480, 400);
        list->SelectionChanged.connect([this](int) { ++selectionSignals; });
        list->ItemsRemoved.connect([this](int id) { removedSignals.push_back(id); });
    }
    void TearDown() override
    {
        AppState::Instance().SetEnded();
        ListFixture::TearDown();
    }

    // The centre of tile i in window coordinates, at the current scroll position.
    POINT Centre(int i) const
    {
        const RECT r = list->Items()[i]->GetBounds();
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2 - list->ScrollPosition()};
    }
    void PressTile(int i, std::initializer_list<UINT> keys = {})
    {
        const POINT c = Centre(i);
        Press(c.x, c.y, keys);
    }
    bool Selected(int i) const { return list->Items()[i]->IsSelected(); }
    void Wheel(int delta)
    {
        CurrentBackend().InjectWheel(delta, Screen(100, 100));
        PumpPending();
    }

    int selectionSignals = 0;
    std::vector<int> removedSignals;
};

TEST_F(ListInput, APlainClickSelectsOneTileAndSetsTheAnchor)
{
    Fill(6);
    PressTile(1);
    PressTile(4);
    EXPECT_EQ(SelectedNames(), (std::vector<std::wstring>{L"4.jpg"}));
    EXPECT_FALSE(Selected(1));
    EXPECT_EQ(list->Anchor(), 4);
    EXPECT_EQ(selectionSignals, 2);
    Press(470, 390);
    EXPECT_TRUE(list->GetSelection().empty()) << "a click on no tile deselects";
    EXPECT_FALSE(Selected(4));
    EXPECT_EQ(selectionSignals, 3);
}

TEST_F(ListInput, ShiftSelectsTheRangeFromTheAnchorAndCtrlToggles)
{
    Fill(6);
    PressTile(4);
    PressTile(1, {VK_SHIFT});
    EXPECT_EQ(SelectedNames(), (std::vector<std::wstring>{L"1.jpg", L"2.jpg", L"3.jpg", L"4.jpg"}));
    PressTile(5, {VK_SHIFT});
    EXPECT_EQ(SelectedNames(), (std::vector<std::wstring>{L"4.jpg", L"5.jpg"})) << "the anchor stays";
    EXPECT_FALSE(Selected(1));
    PressTile(0, {VK_CONTROL});
    PressTile(4, {VK_CONTROL});
    EXPECT_EQ(SelectedNames(), (std::vector<std::wstring>{L"5.jpg", L"0.jpg"}));
    EXPECT_FALSE(Selected(4));
    EXPECT_EQ(selectionSignals, 5);
}

TEST_F(ListInput, ShiftWithoutAnAnchorSelectsTheTileAndStartsTheRange)
{
    Fill(5);
    PressTile(2, {VK_SHIFT});
    EXPECT_EQ(SelectedNames(), (std::vector<std::wstring>{L"2.jpg"}));
    EXPECT_EQ(list->Anchor(), 2);
    EXPECT_EQ(selectionSignals, 1);
    PressTile(4, {VK_SHIFT});
    EXPECT_EQ(SelectedNames(), (std::vector<std::wstring>{L"2.jpg", L"3.jpg", L"4.jpg"}));
    Key(VK_DELETE);
    EXPECT_EQ(Order(), (std::vector<std::wstring>{L"0.jpg", L"1.jpg"}));

    // A removed anchor starts no range from a tile that is gone: the new tile alone.
    PressTile(1);
    list->RemoveItem(list->Anchor());
    EXPECT_EQ(list->Anchor(), -1);
    AddTile(L"5.jpg");
    Refresh();
    PressTile(0, {VK_SHIFT});
    EXPECT_EQ(SelectedNames(), (std::vector<std::wstring>{L"0.jpg"}));
    for (ListViewItem* tile : list->Items())
        EXPECT_EQ(tile->IsSelected(), tile->Data()->fileName == L"0.jpg") << "drawn as the selection holds";
}

TEST_F(ListInput, CtrlAThenDeleteEmptiesTheListWithOneSignal)
{
    Fill(5);
    PressTile(0);
    Key('A', {VK_CONTROL});
    EXPECT_EQ(list->GetSelection().size(), 5u);
    Key(VK_DELETE);
    EXPECT_TRUE(list->IsEmpty());
    EXPECT_EQ(removedSignals, (std::vector<int>{0}));
    EXPECT_EQ(list->Anchor(), -1);
}

TEST_F(ListInput, NothingIsDeletedWhileAnUploadRuns)
{
    Fill(3);
    Key('A', {VK_CONTROL});
    AppState::Instance().SetUploading();
    Key(VK_DELETE);
    list->DeleteSelected();
    list->RemoveItem(1);
    EXPECT_EQ(list->Count(), 3);
    EXPECT_TRUE(removedSignals.empty());
    AppState::Instance().SetEnded();
    list->RemoveItem(1);
    EXPECT_EQ(Order(), (std::vector<std::wstring>{L"0.jpg", L"2.jpg"}));
    EXPECT_EQ(removedSignals, (std::vector<int>{1}));
}

TEST_F(ListInput, ThePickerGridIgnoresTheDeleteKeyAndCtrlAToggles)
{
    list.reset();
    MakeList(480, 400, ListView::Role::PickerGrid);
    Fill(3);
    PressTile(0);
    EXPECT_EQ(list->Items()[0]->checked, 1);
    Key('A', {VK_CONTROL});
    Key(VK_DELETE);
    EXPECT_EQ(list->Count(), 3);
    // The picker's Select toggles: the tile checked by the click is unchecked now.
    EXPECT_EQ(list->Items()[0]->checked, 0);
    EXPECT_EQ(list->Items()[1]->checked, 1);
    EXPECT_EQ(list->CheckedCount(), 2);
}

TEST_F(ListInput, TheWheelMovesByATileHeightAndStopsAtBothEnds)
{
    Fill(12); // 3 columns, 4 rows: 4 x 173 + 8 = 700 high in 400
    const int maximum = list->MaxScrollPosition();
    ASSERT_EQ(maximum, 301);
    Wheel(-120);
    EXPECT_EQ(list->ScrollPosition(), 141);
    Wheel(-120);
    Wheel(-120);
    EXPECT_EQ(list->ScrollPosition(), maximum);
    ValidateRect(list->GetHwnd(), nullptr);
    EXPECT_EQ(SendMessageW(list->GetHwnd(), WM_MOUSEWHEEL, static_cast<WPARAM>(-120) << 16, 0), 0);
    RECT dirty;
    EXPECT_FALSE(GetUpdateRect(list->GetHwnd(), &dirty, FALSE)) << "no repaint at the bottom";
    Wheel(120);
    EXPECT_EQ(list->ScrollPosition(), maximum - 141);
    list->ScrollTo(0);
    EXPECT_EQ(SendMessageW(list->GetHwnd(), WM_MOUSEWHEEL, 120 << 16, 0), 0);
}

TEST_F(ListInput, ScrollRequestsMoveWithinTheRange)
{
    Fill(12);
    const int maximum = list->MaxScrollPosition();
    auto scroll = [&](WORD code, int thumb = 0) {
        SendMessageW(list->GetHwnd(), WM_VSCROLL, MAKEWPARAM(code, thumb), 0);
        return list->ScrollPosition();
    };
    EXPECT_EQ(scroll(SB_LINEUP), 0);
    EXPECT_EQ(scroll(SB_LINEDOWN), 1);
    EXPECT_EQ(scroll(SB_PAGEDOWN), 1 + list->ClientHeight() > maximum ? maximum : 1 + list->ClientHeight());
    EXPECT_EQ(scroll(SB_BOTTOM), maximum);
    EXPECT_EQ(scroll(SB_LINEDOWN), maximum);
    EXPECT_EQ(scroll(SB_PAGEUP), 0);
    EXPECT_EQ(scroll(SB_THUMBTRACK, 120), 120);
    EXPECT_EQ(scroll(SB_THUMBPOSITION, 5000), maximum);
    EXPECT_EQ(scroll(SB_ENDSCROLL), maximum);
    EXPECT_EQ(scroll(SB_TOP), 0);
    // The bar's own down arrow and the page area under its thumb.
    Press(471, 395);
    EXPECT_EQ(list->ScrollPosition(), 1);
    Press(471, 300);
    EXPECT_EQ(list->ScrollPosition(), maximum) << "a page down clamps to the last page";
}

TEST_F(ListInput, ClicksOnAScrolledListFindTheTileUnderThePointer)
{
    Fill(12);
    list->ScrollTo(173);
    PumpPending();
    Press(70, 60); // content y 233: the second row
    EXPECT_EQ(SelectedNames(), (std::vector<std::wstring>{L"3.jpg"}));
}

TEST_F(ListInput, RemoveItemKeepsThePositionAndDeleteSelectedReturnsToTheTop)
{
    Fill(15);
    list->ScrollTo(200);
    list->RemoveItem(14);
    EXPECT_EQ(list->ScrollPosition(), 200);
    PressTile(3);
    list->DeleteSelected();
    EXPECT_EQ(list->ScrollPosition(), 0);
    EXPECT_EQ(list->Count(), 13);
    EXPECT_EQ(removedSignals, (std::vector<int>{14, 0}));
}

TEST_F(ListInput, SortsAreStableAndTheDefaultOrderIsTheOrderOfAdding)
{
    for (const wchar_t* name : {L"c.jpg", L"a.jpg", L"b.jpg", L"a.jpg"})
        AddTile(name);
    Refresh();
    list->Items()[3]->Data()->remark = L"a.jpg"; // equal to tile 1's
    const auto ids = [&] {
        std::vector<std::int32_t> order;
        for (ListViewItem* tile : list->Items())
            order.push_back(tile->Id());
        return order;
    };
    list->Sort(ListView::SortOrder::ByRemark);
    EXPECT_EQ(ids(), (std::vector<std::int32_t>{1, 3, 2, 0}));
    list->Sort(ListView::SortOrder::ByFileTime);
    EXPECT_EQ(ids(), (std::vector<std::int32_t>{1, 3, 2, 0})) << "files that cannot be read tie: list order kept";
    list->Sort(ListView::SortOrder::ById);
    EXPECT_EQ(ids(), (std::vector<std::int32_t>{0, 1, 2, 3}));
    EXPECT_EQ(list->Items()[1]->GetBounds().left, 158) << "laid out again";
}

TEST_F(ListInput, SelectAllMarksEveryTileAndClearingUnmarksThemAll)
{
    Fill(4);
    PressTile(1, {VK_SHIFT});
    list->SelectAll(1);
    EXPECT_EQ(list->GetSelection().size(), 4u);
    list->SelectAll(0);
    EXPECT_TRUE(list->GetSelection().empty());
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(Selected(i)) << i;
    EXPECT_EQ(selectionSignals, 1) << "only the click raised one";
}

TEST_F(ListInput, ATileRemovedByItsOwnButtonIsDeletedAfterItsHandler)
{
    SelfRemovingTile::destroyed = 0;
    list->AddItem(std::make_unique<SelfRemovingTile>(std::make_shared<ImageData>(PathOf(L"p.jpg"))));
    AddTile(L"q.jpg");
    Refresh();
    PressTile(0);
    EXPECT_EQ(SelfRemovingTile::destroyed, 1);
    EXPECT_EQ(Order(), (std::vector<std::wstring>{L"q.jpg"}));
    EXPECT_EQ(removedSignals, (std::vector<int>{0}));
}

TEST_F(ListInput, ADoubleClickActivatesTheTile)
{
    Fill(2);
    std::vector<ListViewItem*> activated;
    list->ItemActivated.connect([&](ListViewItem* tile) { activated.push_back(tile); });
    PressTile(1);
    PressTile(1);
    EXPECT_EQ(activated, (std::vector<ListViewItem*>{list->Items()[1]}));
}

TEST_F(ListInput, HoverFollowsThePointerAndStaysAfterItLeaves)
{
    Fill(3);
    const POINT first = Centre(0), second = Centre(1);
    CurrentBackend().InjectMouse(Backend::MouseAction::Move, Screen(first.x, first.y));
    PumpPending();
    EXPECT_TRUE(list->Items()[0]->IsHovered());
    CurrentBackend().InjectMouse(Backend::MouseAction::Move, Screen(second.x, second.y));
    PumpPending();
    EXPECT_FALSE(list->Items()[0]->IsHovered());
    EXPECT_TRUE(list->Items()[1]->IsHovered());
    CurrentBackend().InjectMouse(Backend::MouseAction::Move, POINT{5, 5});
    PumpPending();
    EXPECT_TRUE(list->Items()[1]->IsHovered());
}

} // namespace
