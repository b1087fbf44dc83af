#include "ControlFixture.h"

#include "Biz/AppState.h"
#include "Biz/ImageData.h"
#include "Biz/UploadManager.h"
#include "Views/ListViewSelectItem.h"
#include "Platform/Controls/ControlMessages.h"
#include "Platform/Gdi/Gdi.h"
#include "Platform/Win/Backend.h"
#include "Platform/Win/Clock.h"
#include "Platform/Win/Input.h"
#include "Platform/Win/Painting.h"
#include "Platform/Win/Timer.h"
#include "Platform/Win/WinConstants.h"
#include "Platform/Win/WindowGeometry.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

using namespace Platform;

namespace {

// What a test does once a modal dialog is up, run from a timer inside its loop.
std::function<void(HWND dialog)> whileRunning;

void RunWhileUp(HWND owner)
{
    SetTimer(owner, 78, 1, [](HWND window, UINT, UINT_PTR, DWORD) {
        KillTimer(window, 78);
        whileRunning(GetActiveWindow());
    });
}

class MainViewTest : public ControlFixture {
protected:
    void SetUp() override
    {
        ControlFixture::SetUp();
        ShowWindow(container, SW_SHOW);
        window = control->Window();
        Pump();
    }
    void TearDown() override
    {
        AppState::Instance().SetEnded();
        ControlFixture::TearDown();
    }

    COLORREF PixelAt(int x, int y)
    {
        UpdateWindow(window);
        const HDC dc = GetDC(window);
        const COLORREF color = GetPixel(dc, x, y);
        ReleaseDC(window, dc);
        return color;
    }

    RECT ChildRect(HWND child)
    {
        RECT rect;
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

    // The sort box's choice of item index as a person makes it: the box changes and
    // tells its parent.
    void ChooseSortOrder(int index)
    {
        const HWND box = control->View().sortBox.GetHwnd();
        SendMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE), reinterpret_cast<LPARAM>(box));
    }

    // Tiles that are no upload items: a task over them has nothing to send.
    void AddTiles(int count)
    {
        for (int i = 0; i < count; ++i)
            control->View().list.AddItem(std::make_unique<ListViewSelectItem>(
                std::make_shared<ImageData>(L"/nonexistent/" + std::to_wstring(i) + L".jpg")));
        control->View().OnFilesAdded();
        Pump();
    }

    void ClickAt(const ControlBase& target)
    {
        POINT point{(target.bounds.left + target.bounds.right) / 2, (target.bounds.top + target.bounds.bottom) / 2};
        ClientToScreen(window, &point);
        CurrentBackend().InjectMouse(Backend::MouseAction::Move, point);
        CurrentBackend().InjectMouse(Backend::MouseAction::LeftDown, point);
        CurrentBackend().InjectMouse(Backend::MouseAction::LeftUp, point);
        Pump();
    }

    bool LinksDisabled()
    {
        const MainView& view = control->View();
        return view.editIcon.disabled && view.rotateLeftIcon.disabled && view.rotateRightIcon.disabled &&
               view.deleteIcon.disabled;
    }

    int SortBoxSelection()
    {
        return static_cast<int>(SendMessageW(control->View().sortBox.GetHwnd(), CB_GETCURSEL, 0, 0));
    }

    HWND window = nullptr;
};

TEST_F(MainViewTest, ANewControlShowsTheEmptyStateWithTheToolbarLaidOut)
{
    MainView& view = control->View();
    EXPECT_EQ(view.addButton.bounds, (RECT{6, 4, 90, 28}));
    EXPECT_EQ(view.uploadButton.bounds, (RECT{94, 4, 178, 28}));
    EXPECT_TRUE(view.uploadButton.disabled);
    EXPECT_FALSE(view.cancelButton.visible);
    EXPECT_EQ(view.cancelButton.bounds, view.uploadButton.bounds);
    // The large add button and the hint are centred under the bands.
    EXPECT_TRUE(view.bigAddButton.visible);
    EXPECT_EQ(view.bigAddButton.bounds, (RECT{298, 228, 501, 279}));
    EXPECT_TRUE(view.dropHint.visible);
    EXPECT_EQ(view.dropHint.bounds.left, (800 - 227) / 2);
    EXPECT_EQ(view.dropHint.bounds.top, 298);
    EXPECT_EQ(view.hintLabel.bounds.left, 8);
    EXPECT_EQ(view.hintLabel.bounds.top, 39);
    for (ControlBase* link : {&view.editIcon, &view.rotateLeftIcon, &view.rotateRightIcon, &view.deleteIcon})
        EXPECT_TRUE(link->disabled);
    EXPECT_EQ(ChildRect(view.sortBox.GetHwnd()).right, 790);
    EXPECT_FALSE(IsWindowVisible(view.list.GetHwnd()));
    EXPECT_EQ(SortBoxSelection(), 0);

    // The bands: the outer border, the top band, the second band and the list area.
    EXPECT_EQ(PixelAt(0, 300), 0xE1C5A6u);
    EXPECT_EQ(PixelAt(799, 599), 0xE1C5A6u);
    EXPECT_EQ(PixelAt(300, 2), 0xFDF2E6u);
    EXPECT_EQ(PixelAt(300, 31), 0xE1C5A6u);
    EXPECT_EQ(PixelAt(300, 50), 0xFEF6F0u);
    EXPECT_EQ(PixelAt(300, 56), 0xE1C5A6u);
    EXPECT_EQ(PixelAt(100, 400), 0xF3F3F3u);
}

TEST_F(MainViewTest, TheToolbarFollowsTheWindowWidth)
{
    MoveWindow(window, 0, 0, 500, 400, TRUE);
    Pump();
    MainView& view = control->View();
    const RECT sort = ChildRect(view.sortBox.GetHwnd());
    EXPECT_EQ(sort.left, 404);
    EXPECT_EQ(sort.right, 490);
    EXPECT_EQ(view.deleteIcon.bounds.right, 397);
    EXPECT_EQ(view.bigAddButton.bounds.left, (500 - 203) / 2);
    EXPECT_EQ(view.addButton.bounds, (RECT{6, 4, 90, 28}));
    EXPECT_EQ(PixelAt(499, 200), 0xE1C5A6u);
    EXPECT_EQ(PixelAt(250, 350), 0xF3F3F3u);
}

TEST_F(MainViewTest, UploadWithAnEmptyListExplainsAndStartsNothing)
{
    HWND dialog = nullptr;
    std::wstring title;
    whileRunning = [&](HWND active) {
        dialog = active;
        title = GetWindowTextW(active);
        CurrentBackend().InjectKey(VK_RETURN, true);
        CurrentBackend().InjectKey(VK_RETURN, false);
    };
    RunWhileUp(window);
    control->View().OnUploadClicked();
    EXPECT_NE(dialog, nullptr);
    EXPECT_NE(dialog, window);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_FALSE(AppState::Instance().IsUploading());
    EXPECT_FALSE(UploadManager::Instance().IsRunning());
    EXPECT_TRUE(control->View().uploadButton.visible);
    EXPECT_FALSE(control->View().cancelButton.visible);
}

TEST_F(MainViewTest, SelectingTilesEnablesTheLinksAndDeletingThemAllBringsBackTheEmptyState)
{
    MainView& view = control->View();
    AddTiles(3);
    EXPECT_TRUE(IsWindowVisible(view.list.GetHwnd()));
    EXPECT_FALSE(view.bigAddButton.visible);
    EXPECT_FALSE(view.dropHint.visible);
    EXPECT_FALSE(view.uploadButton.disabled);
    EXPECT_TRUE(LinksDisabled());

    ClickAt(view.selectAllBox);
    EXPECT_TRUE(view.selectAllBox.IsChecked());
    EXPECT_EQ(view.list.GetSelection().size(), 3u);
    EXPECT_FALSE(LinksDisabled());

    ClickAt(view.deleteIcon);
    EXPECT_TRUE(view.list.IsEmpty());
    EXPECT_FALSE(IsWindowVisible(view.list.GetHwnd()));
    EXPECT_TRUE(view.bigAddButton.visible);
    EXPECT_TRUE(view.uploadButton.disabled);
    EXPECT_TRUE(LinksDisabled());
    EXPECT_FALSE(view.selectAllBox.IsChecked());
}

TEST_F(MainViewTest, AShiftClickAsTheFirstClickSelectsForTheLinksAndDelete)
{
    MainView& view = control->View();
    AddTiles(3);
    const RECT tile = view.list.Items()[1]->GetBounds();
    POINT point{(tile.left + tile.right) / 2, (tile.top + tile.bottom) / 2};
    ClientToScreen(view.list.GetHwnd(), &point);
    CurrentBackend().InjectKey(VK_SHIFT, true);
    CurrentBackend().InjectMouse(Backend::MouseAction::Move, point);
    CurrentBackend().InjectMouse(Backend::MouseAction::LeftDown, point);
    CurrentBackend().InjectMouse(Backend::MouseAction::LeftUp, point);
    CurrentBackend().InjectKey(VK_SHIFT, false);
    Pump();
    EXPECT_FALSE(LinksDisabled());
    ClickAt(view.deleteIcon);
    ASSERT_EQ(view.list.Count(), 2);
    for (ListViewItem* left : view.list.Items())
        EXPECT_NE(left->Data()->fileName, L"1.jpg");
}

TEST_F(MainViewTest, AToolbarFaceGoesBackWhenThePointerLeavesIntoTheListOrAway)
{
    MainView& view = control->View();
    AddTiles(2);
    const auto moveTo = [&](POINT client, HWND of) {
        ClientToScreen(of, &client);
        CurrentBackend().InjectMouse(Backend::MouseAction::Move, client);
        Pump();
    };
    const auto centre = [](const ControlBase& c) {
        return POINT{(c.bounds.left + c.bounds.right) / 2, (c.bounds.top + c.bounds.bottom) / 2};
    };
    const COLORREF normalFace = PixelAt(centre(view.addButton).x, centre(view.addButton).y);
    moveTo(centre(view.addButton), window);
    ASSERT_TRUE(view.addButton.state & StateHover);
    ASSERT_NE(PixelAt(centre(view.addButton).x, centre(view.addButton).y), normalFace) << "the hover face shows";

    // Straight into the list, a child window: the control window hears of no move.
    moveTo(POINT{200, 100}, view.list.GetHwnd());
    EXPECT_FALSE(view.addButton.state & StateHover);
    EXPECT_EQ(PixelAt(centre(view.addButton).x, centre(view.addButton).y), normalFace);

    moveTo(centre(view.uploadButton), window);
    ASSERT_TRUE(view.uploadButton.state & StateHover);
    CurrentBackend().InjectMouse(Backend::MouseAction::Move, POINT{1200, 900});
    Pump();
    EXPECT_FALSE(view.uploadButton.state & StateHover) << "out of the control";
    moveTo(centre(view.uploadButton), window);
    EXPECT_TRUE(view.uploadButton.state & StateHover) << "tracked again on return";
}

TEST_F(MainViewTest, AnUploadSwapsTheButtonsAndLocksTheToolbarUntilTheTaskEnds)
{
    MainView& view = control->View();
    AddTiles(2);
    ClickAt(view.selectAllBox);
    ASSERT_FALSE(LinksDisabled());

    view.OnUploadClicked();
    EXPECT_TRUE(AppState::Instance().IsUploading());
    EXPECT_FALSE(view.uploadButton.visible);
    EXPECT_TRUE(view.cancelButton.visible);
    EXPECT_EQ(view.cancelButton.bounds, view.uploadButton.bounds);
    EXPECT_TRUE(view.addButton.disabled);
    EXPECT_TRUE(view.selectAllBox.disabled);
    EXPECT_TRUE(LinksDisabled());
    EXPECT_FALSE(view.list.IsEditable());
    // A change of the selection during the upload leaves the links off.
    view.OnSelectionChanged(0);
    EXPECT_TRUE(LinksDisabled());

    // The task has nothing to send and ends at once; "task_end" brings the toolbar back.
    MSG message;
    while (AppState::Instance().IsUploading() && GetMessageW(&message, nullptr, 0, 0))
        DispatchMessageW(&message);
    EXPECT_FALSE(AppState::Instance().IsUploading());
    EXPECT_TRUE(view.uploadButton.visible);
    EXPECT_FALSE(view.cancelButton.visible);
    EXPECT_FALSE(view.addButton.disabled);
    EXPECT_FALSE(view.selectAllBox.disabled);
    EXPECT_TRUE(view.list.IsEditable());
    EXPECT_EQ(view.list.Count(), 2);
    EXPECT_FALSE(LinksDisabled());
}

TEST_F(MainViewTest, ASortChosenDuringAnUploadIsRefusedAndTheBoxShowsTheOldOrder)
{
    AppState::Instance().SetUploading();
    ChooseSortOrder(1);
    EXPECT_EQ(SortBoxSelection(), 0);
    AppState::Instance().SetEnded();
    ChooseSortOrder(2);
    EXPECT_EQ(SortBoxSelection(), 2);
    AppState::Instance().SetUploading();
    ChooseSortOrder(1);
    EXPECT_EQ(SortBoxSelection(), 2);
}

TEST_F(MainViewTest, AWindowCreatedAgainGetsOneFreshView)
{
    ASSERT_EQ(control->InPlaceDeactivate(), S_OK);
    ASSERT_EQ(control->InPlaceActivate(container, RECT{0, 0, 640, 480}), S_OK);
    window = control->Window();
    Pump();
    MainView& view = control->View();
    EXPECT_EQ(view.children.size(), 13u);
    EXPECT_EQ(view.bigAddButton.bounds.left, (640 - 203) / 2);
    EXPECT_TRUE(IsWindow(view.sortBox.GetHwnd()));
    EXPECT_EQ(SendMessageW(view.sortBox.GetHwnd(), CB_GETCOUNT, 0, 0), 4);
    EXPECT_EQ(PixelAt(300, 50), 0xFEF6F0u);
}

} // namespace

TEST_F(MainViewTest, AControlDestroyedMidUploadLeavesTheNextOneFreeToEditAndUpload)
{
    AddTiles(2);
    control->View().OnUploadClicked();
    ASSERT_TRUE(AppState::Instance().IsUploading());
    // The control goes before its "task_end" is handled: that event is dropped with it.
    control->Release();
    control = nullptr;
    ASSERT_EQ(CTrellan::CreateInstance(&control), S_OK);
    ASSERT_EQ(control->InPlaceActivate(container, RECT{0, 0, 800, 600}), S_OK);
    control->put_recvMessage(&page);
    window = control->Window();
    Pump();

    EXPECT_FALSE(AppState::Instance().IsUploading());
    AddTiles(1);
    ClickAt(control->View().selectAllBox);
    EXPECT_FALSE(LinksDisabled());

    const DWORD start = GetTickCount();
    while (UploadManager::Instance().IsRunning() && GetTickCount() - start < 5000)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    control->View().OnUploadClicked();
    ASSERT_TRUE(AppState::Instance().IsUploading());
    MSG message;
    while (AppState::Instance().IsUploading() && GetTickCount() - start < 10000 && GetMessageW(&message, nullptr, 0, 0))
        DispatchMessageW(&message);
    EXPECT_FALSE(AppState::Instance().IsUploading());
    EXPECT_EQ(control->View().list.Count(), 1);
}

namespace {

class MainViewLanguage : public MainViewTest {
protected:
    void Init(const std::string& config) { Post(R"({"name":"init","config":)" + config + "}"); }

    std::wstring SortItem(int index)
    {
        wchar_t text[64] = {};
        SendMessageW(control->View().sortBox.GetHwnd(), CB_GETLBTEXT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(text));
        return text;
    }

    // The toolbar's measured controls from select all to the sort box, left to right,
    // as the pixels they cover.
    std::vector<std::pair<int, int>> ToolbarSpans()
    {
        MainView& view = control->View();
        const RECT sort = ChildRect(view.sortBox.GetHwnd());
        return {{view.selectAllBox.bounds.left, view.selectAllBox.bounds.right + view.selectAllBox.TextOverhang()},
                {view.editIcon.bounds.left, view.editIcon.bounds.right},
                {view.rotateLeftIcon.bounds.left, view.rotateLeftIcon.bounds.right},
                {view.rotateRightIcon.bounds.left, view.rotateRightIcon.bounds.right},
                {view.deleteIcon.bounds.left, view.deleteIcon.bounds.right},
                {sort.left, sort.right}};
    }

    void ExpectToolbarApart(int width)
    {
        const std::vector<std::pair<int, int>> spans = ToolbarSpans();
        EXPECT_GT(spans.front().first, control->View().uploadButton.bounds.right) << width;
        for (std::size_t i = 1; i < spans.size(); ++i)
            EXPECT_LT(spans[i - 1].second, spans[i].first) << width << " pixels, control " << i;
        EXPECT_EQ(spans.back().second, width - 10);
    }
};

TEST_F(MainViewLanguage, EnglishRelabelsTheBuiltViewWithoutOverlapsAndOtherValuesGiveTheDesignBack)
{
    MainView& view = control->View();
    const std::vector<std::pair<int, int>> chinese = ToolbarSpans();
    EXPECT_EQ(view.selectAllBox.text, L"全选");

    Init(R"({"Language":"en"})");
    Pump();
    EXPECT_EQ(view.selectAllBox.text, L"Select all");
    EXPECT_EQ(view.editIcon.text, L"Edit");
    EXPECT_EQ(view.deleteIcon.text, L"Delete");
    EXPECT_EQ(view.hintLabel.text, L"Click \"Add photos\" to choose the photos to upload");
    EXPECT_EQ(SortItem(0), L"Default order");
    EXPECT_EQ(SortItem(3), L"By date taken");
    EXPECT_EQ(view.bigAddButton.imageNormal, "BtnAdd2-Normal-en");
    EXPECT_EQ(view.uploadButton.imageDisabled, "BtnPost-Disable-en");
    // The centred hint is as wide as its longer text.
    EXPECT_EQ(view.dropHint.bounds.left, (800 - (view.dropHint.bounds.right - view.dropHint.bounds.left)) / 2);
    ExpectToolbarApart(800);
    MoveWindow(window, 0, 0, 640, 480, TRUE);
    Pump();
    ExpectToolbarApart(640);
    MoveWindow(window, 0, 0, 800, 600, TRUE);
    Pump();

    // A language the control does not have, or a value of another type, is logged and
    // gives the design's texts and places back; so does an init without the member.
    const std::filesystem::path log =
        std::filesystem::temp_directory_path() /
        ("trellan-language-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + ".log");
    Init(R"({"Language":"fr","Debug":true,"LogFile":")" + log.string() + R"("})");
    Pump();
    EXPECT_EQ(view.selectAllBox.text, L"全选");
    EXPECT_EQ(SortItem(0), L"默认排序");
    EXPECT_EQ(view.bigAddButton.imageNormal, "BtnAdd2-Normal");
    EXPECT_EQ(ToolbarSpans(), chinese);
    Init(R"({"Language":"en"})");
    Init(R"({"Language":["en"],"Debug":true,"LogFile":")" + log.string() + R"("})");
    EXPECT_EQ(view.editIcon.text, L"编辑");
    std::ifstream file(log);
    const std::string logged((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_NE(logged.find("init member ignored: Language = ["), std::string::npos) << logged;
    Init(R"({"Language":"en"})");
    Init(R"({"ThreadCount":2})");
    EXPECT_EQ(view.editIcon.text, L"编辑");
    std::filesystem::remove(log);
}

} // namespace
