#include "ListViewSupport.h"

#include "Biz/AppConfig.h"
#include "Gdiplus/TestPictures.h"
#include "Platform/Ole/FileDropDataObject.h"
#include "Platform/Ole/RegisteredDropTarget.h"
#include "Platform/Win/Input.h"

#include <filesystem>

using namespace ListViewTest;

namespace {

// Dropped files become picker tiles here; the main view gives the list upload tiles.
std::unique_ptr<ListViewItem> PickerTileFor(const std::wstring& path)
{
    return std::make_unique<ListViewSelectItem>(std::make_shared<ImageData>(path));
}

class ListDrops : public ListFixture {
protected:
    void SetUp() override
    {
        ListFixture::SetUp();
        MakeList(480, 400);
        list->makeDroppedTile = &PickerTileFor;
        list->FilesDropped.connect([this] { ++droppedSignals; });
    }
    void TearDown() override
    {
        AppConfig::Instance().MaxFiles = savedMaxFiles;
        AppConfig::Instance().MaxFileSize = 0;
        ListFixture::TearDown();
    }

    void DropFiles(const std::vector<std::wstring>& paths, DWORD keys = 0)
    {
        CurrentBackend().InjectFileDrop(paths, Screen(200, 200), keys);
        PumpPending();
    }

    std::vector<std::wstring> Paths() const
    {
        std::vector<std::wstring> paths;
        for (ListViewItem* tile : list->Items())
            paths.push_back(tile->Data()->path);
        return paths;
    }

    TestPictures::TempFolder folder;
    int droppedSignals = 0;
    const std::int32_t savedMaxFiles = AppConfig::Instance().MaxFiles;
};

TEST_F(ListDrops, OnlyPictureFilesByTheirExtensionAreAddedOnce)
{
    const std::wstring gif = folder.File("a.GIF"), jpeg = folder.File("b.jpeg"), png = folder.File("c.png");
    const std::wstring text = folder.File("d.txt");
    DropFiles({gif, jpeg, png, text, gif});
    EXPECT_EQ(Paths(), (std::vector<std::wstring>{gif, png}));
    EXPECT_EQ(droppedSignals, 1);
    EXPECT_EQ(list->Items()[1]->GetBounds().left, 158) << "laid out";
    DropFiles({png});
    EXPECT_EQ(list->Count(), 2) << "already listed";
}

TEST_F(ListDrops, FoldersAndTheRootAreRefusedEvenWhenNamedLikePictures)
{
    const std::filesystem::path base(folder.File("x.jpg"));
    const std::filesystem::path named = base.parent_path() / "holiday.jpg";
    std::filesystem::create_directory(named);
    DropFiles({named.wstring(), L"/"});
    EXPECT_TRUE(list->IsEmpty());
    EXPECT_EQ(droppedSignals, 1) << "the list still lays out and says so";
}

TEST_F(ListDrops, ALongPathIsReadWholeNeverCut)
{
    const std::filesystem::path base = std::filesystem::path(folder.File("x.jpg")).parent_path();
    const std::filesystem::path deep = base / std::string(200, 'd');
    std::filesystem::create_directory(deep);
    const std::string name = std::string(80, 'n') + ".jpg";
    std::ofstream(deep / name) << "x";
    // Cut at 255 characters the path would end inside the name, without ".jpg".
    const std::wstring path = (deep / name).wstring();
    ASSERT_GT(path.size(), 255u);
    DropFiles({path});
    EXPECT_EQ(Paths(), (std::vector<std::wstring>{path}));
}

TEST_F(ListDrops, AFullListAddsNothingMore)
{
    AppConfig::Instance().MaxFiles = 2;
    const std::wstring a = folder.File("a.jpg"), b = folder.File("b.jpg"), c = folder.File("c.jpg");
    DropFiles({a, b, c});
    EXPECT_EQ(Paths(), (std::vector<std::wstring>{a, b}));
    DropFiles({c});
    EXPECT_EQ(list->Count(), 2);
}

TEST_F(ListDrops, FilesOverTheSizeLimitAreSkipped)
{
    AppConfig::Instance().MaxFileSize = 4;
    const std::wstring small = folder.File("s.jpg", {1, 2, 3}), large = folder.File("l.jpg", {1, 2, 3, 4, 5});
    DropFiles({large, small});
    EXPECT_EQ(Paths(), (std::vector<std::wstring>{small}));
}

TEST_F(ListDrops, FilesFromOutsideAreCopiedNeverMoved)
{
    auto files = ComPtr<IDataObject>::Adopt(new FileDropDataObject({folder.File("a.jpg")}, POINT{}));
    // The target a drag over the list window meets.
    const ComPtr<IDropTarget> target = RegisteredDropTargetAt(Screen(200, 200)).target;
    ASSERT_TRUE(target);
    const DWORD both = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    for (DWORD keys : {DWORD{0}, DWORD{MK_SHIFT}}) {
        DWORD effect = both;
        target->DragEnter(files.Get(), keys, POINTL{}, &effect);
        EXPECT_EQ(effect, DROPEFFECT_COPY);
        effect = both;
        target->DragOver(keys, POINTL{}, &effect);
        EXPECT_EQ(effect, DROPEFFECT_COPY);
    }
    DWORD effect = both;
    EXPECT_EQ(target->Drop(files.Get(), 0, POINTL{}, &effect), S_OK);
    EXPECT_EQ(effect, DROPEFFECT_COPY);
    EXPECT_EQ(list->Count(), 1);
    effect = DROPEFFECT_MOVE;
    target->DragEnter(files.Get(), 0, POINTL{}, &effect);
    EXPECT_EQ(effect, DROPEFFECT_NONE) << "a source that only moves is refused";
}

TEST_F(ListDrops, ADropThatOutlivesTheListReachesNobody)
{
    const ComPtr<IDropTarget> target = RegisteredDropTargetAt(Screen(200, 200)).target;
    ASSERT_TRUE(target);
    list.reset();
    auto files = ComPtr<IDataObject>::Adopt(new FileDropDataObject({folder.File("a.jpg")}, POINT{}));
    DWORD effect = DROPEFFECT_COPY;
    ASSERT_EQ(target->DragEnter(files.Get(), 0, POINTL{}, &effect), S_OK);
    EXPECT_EQ(target->Drop(files.Get(), 0, POINTL{}, &effect), S_OK);
    EXPECT_EQ(droppedSignals, 0);
}

TEST_F(ListDrops, ThePickerGridTakesNoFiles)
{
    list.reset();
    MakeList(480, 400, ListView::Role::PickerGrid);
    list->makeDroppedTile = &PickerTileFor;
    DropFiles({folder.File("a.jpg")});
    EXPECT_TRUE(list->IsEmpty());
}

// Tile drags: press, moves and release are queued before the list sees the press, so
// the drag's loop, which starts at the first move, runs through them.
class TileDrags : public ListFixture {
protected:
    void SetUp() override
    {
        ListFixture::SetUp();
        MakeList(480, 400);
        Fill(4);
    }

    POINT CentreOf(ListView& of, int i) const
    {
        const RECT r = of.Items()[i]->GetBounds();
        POINT point{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ClientToScreen(of.GetHwnd(), &point);
        return point;
    }

    void Drag(POINT from, POINT to, bool escape = false)
    {
        using Action = Backend::MouseAction;
        CurrentBackend().InjectMouse(Action::Move, from);
        CurrentBackend().InjectMouse(Action::LeftDown, from);
        CurrentBackend().InjectMouse(Action::Move, POINT{from.x + 3, from.y + 3});
        CurrentBackend().InjectMouse(Action::Move, to);
        if (escape) {
            CurrentBackend().InjectKey(VK_ESCAPE, true);
            CurrentBackend().InjectKey(VK_ESCAPE, false);
        }
        CurrentBackend().InjectMouse(Action::LeftUp, to);
        PumpPending();
    }
};

TEST_F(TileDrags, ATileDroppedOnAnotherMovesBeforeIt)
{
    Drag(CentreOf(*list, 0), CentreOf(*list, 3));
    EXPECT_EQ(Order(), (std::vector<std::wstring>{L"1.jpg", L"2.jpg", L"0.jpg", L"3.jpg"}));
    EXPECT_EQ(list->Items()[2]->GetBounds().left, 312) << "laid out again";
    Drag(CentreOf(*list, 3), CentreOf(*list, 0));
    EXPECT_EQ(Order(), (std::vector<std::wstring>{L"3.jpg", L"1.jpg", L"2.jpg", L"0.jpg"}));
}

TEST_F(TileDrags, OntoItselfOrEmptySpaceOrCancelledNothingMoves)
{
    const std::vector<std::wstring> before = Order();
    Drag(CentreOf(*list, 1), POINT{CentreOf(*list, 1).x + 10, CentreOf(*list, 1).y});
    Drag(CentreOf(*list, 1), Screen(400, 380));
    Drag(CentreOf(*list, 1), CentreOf(*list, 3), true);
    EXPECT_EQ(Order(), before);
    EXPECT_FALSE(list->IsPending());
}

TEST_F(TileDrags, ATileFromAnotherListIsIgnored)
{
    auto other = std::make_unique<ListView>(ListView::Role::PickerGrid);
    other->Create(owner, RECT{10, 20, 10, 20});
    MoveWindow(other->GetHwnd(), 10, 20 + 200, 480, 180, TRUE);
    MoveWindow(list->GetHwnd(), 10, 20, 480, 190, TRUE);
    for (const wchar_t* name : {L"x.jpg", L"y.jpg", L"z.jpg"})
        other->AddItem(std::make_unique<ListViewSelectItem>(std::make_shared<ImageData>(PathOf(name))));
    other->Layout();
    PumpPending();
    // Tile 0 of the other list dropped on tile 2 of this one, which has a tile 0 too.
    Drag(CentreOf(*other, 0), CentreOf(*list, 2));
    EXPECT_EQ(Order(), (std::vector<std::wstring>{L"0.jpg", L"1.jpg", L"2.jpg", L"3.jpg"}));
    EXPECT_EQ(other->Count(), 3);
    // Within the other list the drag still moves (pressed away from the first press,
    // which would otherwise make a double-click).
    const POINT from = CentreOf(*other, 0);
    Drag(POINT{from.x + 30, from.y + 30}, CentreOf(*other, 2));
    EXPECT_EQ(other->Items()[1]->Data()->fileName, L"x.jpg");
    other.reset();
}

TEST_F(TileDrags, NoDragStartsWhileTheListIsNotEditable)
{
    list->SetEditable(0);
    Drag(CentreOf(*list, 0), CentreOf(*list, 3));
    EXPECT_EQ(Order(), (std::vector<std::wstring>{L"0.jpg", L"1.jpg", L"2.jpg", L"3.jpg"}));
}

} // namespace
