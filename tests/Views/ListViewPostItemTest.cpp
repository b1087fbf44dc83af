// The upload tile: its buttons and what a click on each does, remark editing, turning
// its picture, the progress band's text, what an upload forbids, the pictures the
// list's loader fills in, and how the tile looks (pixels compared with references).

#include "ListViewSupport.h"

#include "Biz/AppConfig.h"
#include "Biz/AppState.h"
#include "Gdiplus/ExifJpeg.h"
#include "Gdiplus/TestPictures.h"
#include "PixelReference.h"
#include "Platform/Gdi/Drawing.h"
#include "Platform/Win/Dialog.h"
#include "Platform/Win/Input.h"
#include "UI/Skin.h"
#include "Views/ListViewPostItem.h"

#include <algorithm>
#include <chrono>

using namespace ListViewTest;

namespace {

class PostItemTest : public ListFixture {
protected:
    void SetUp() override
    {
        ListFixture::SetUp();
        SetUpSkin();
        MakeList(600, 400);
        list->SetItemWidth(150);
        list->SetItemHeight(151);
        list->LoadingFinished.connect([this] { ++finished; });
    }

    void TearDown() override
    {
        AppState::Instance().SetEnded();
        ListFixture::TearDown();
    }

    std::wstring Photo(const std::string& name, int width, int height)
    {
        return folder.File(name, TestPictures::Encode(*TestPictures::Pattern(width, height), TestPictures::Png));
    }

    ListViewPostItem* AddPost(const std::wstring& path)
    {
        return static_cast<ListViewPostItem*>(list->AddItem(std::make_unique<ListViewPostItem>(list.get(), path)));
    }

    // Runs the loop until every tile's record is read and the list has heard of it
    // (a hang guard, not a timing).
    bool LoadAll()
    {
        const auto loaded = [&] {
            const std::vector<ListViewItem*> tiles = list->Items();
            return std::all_of(tiles.begin(), tiles.end(), [](ListViewItem* tile) { return tile->Data()->IsLoaded(); });
        };
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!(loaded() && finished > 0) && std::chrono::steady_clock::now() < giveUp) {
            WaitMessageTimeout(100);
            PumpPending();
        }
        PumpPending();
        return loaded() && finished > 0;
    }

    // Moves over, presses and releases at a point of the list's content.
    void Click(POINT content) { Press(content.x, content.y - list->ScrollPosition()); }

    static POINT Inside(const RECT& rect) { return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }

    TestPictures::TempFolder folder;
    // How often the list raised LoadingFinished.
    int finished = 0;
};

TEST_F(PostItemTest, ButtonsSitWhereTheTileSaysAndOnlyThemAreHit)
{
    ListViewPostItem* tile = AddPost(L"/nonexistent-trellan/a.jpg");
    tile->SetBounds(RECT{4, 4, 154, 155});
    EXPECT_EQ(tile->deleteButton, (RECT{138, 4, 154, 20}));
    EXPECT_EQ(tile->rotateLeftButton, (RECT{17, 102, 33, 118}));
    EXPECT_EQ(tile->rotateRightButton, (RECT{45, 102, 61, 118}));
    EXPECT_EQ(tile->editButton, (RECT{73, 102, 89, 118}));
    EXPECT_EQ(tile->viewButton, (RECT{130, 102, 146, 118}));
    EXPECT_EQ(tile->remarkStrip, (RECT{4, 125, 154, 155}));
    EXPECT_EQ(tile->HitButton(POINT{138, 4}), 1);
    EXPECT_EQ(tile->HitButton(POINT{153, 19}), 1);
    EXPECT_EQ(tile->HitButton(POINT{154, 19}), 0);
    EXPECT_EQ(tile->HitButton(POINT{40, 110}), 0); // between rotate left and right
    EXPECT_EQ(tile->HitButton(POINT{60, 60}), 0);
    EXPECT_EQ(tile->GetThumbRect(RECT{4, 4, 154, 155}), (RECT{5, 5, 153, 125}));
    EXPECT_EQ(tile->GetTextRect(RECT{4, 4, 154, 155}), (RECT{7, 124, 154, 155}));
}

TEST_F(PostItemTest, OneClickOnTheDeleteButtonOfAnUnselectedTileDeletesIt)
{
    AddPost(L"/nonexistent-trellan/a.jpg");
    AddPost(L"/nonexistent-trellan/b.jpg");
    Refresh();
    int removed = -1;
    list->ItemsRemoved.connect([&](int id) { removed = id; });
    Click(Inside(static_cast<ListViewPostItem*>(list->Items()[0])->deleteButton));
    EXPECT_EQ(removed, 0);
    EXPECT_EQ(Order(), std::vector<std::wstring>{L"b.jpg"});
}

TEST_F(PostItemTest, ButtonsDoNothingWhileTheListIsNotEditableOrAnUploadRuns)
{
    auto* tile = AddPost(Photo("wide.png", 160, 120));
    tile->Data()->Load();
    Refresh();
    list->SetEditable(0);
    Click(Inside(tile->deleteButton));
    Click(Inside(tile->rotateRightButton));
    EXPECT_EQ(list->Count(), 1);
    EXPECT_EQ(tile->Data()->Picture()->GetWidth(), 160u);

    list->SetEditable(1);
    tile->Deselect();
    AppState::Instance().SetUploading();
    Click(Inside(tile->rotateRightButton));
    EXPECT_FALSE(tile->IsSelected()); // presses are off during an upload
    tile->RotateRight();
    tile->SetPicture(TestPictures::Pattern(10, 10));
    EXPECT_EQ(tile->Data()->Picture()->GetWidth(), 160u);
    AppState::Instance().SetEnded();
    Click(Inside(tile->rotateRightButton));
    EXPECT_EQ(tile->Data()->Picture()->GetWidth(), 120u);
}

TEST_F(PostItemTest, RotateButtonsTurnThePictureAndKeepTheThumbnailInsideTheBox)
{
    auto* tile = AddPost(folder.File("photo.jpg", ExifJpeg::QuadrantJpeg(400, 400)));
    Refresh();
    ASSERT_TRUE(LoadAll());
    Click(Inside(tile->rotateLeftButton));
    const PictureHandle picture = tile->Data()->Picture();
    EXPECT_EQ(ExifJpeg::Quadrants(*picture),
              (std::array{ExifJpeg::Green, ExifJpeg::White, ExifJpeg::Red, ExifJpeg::Blue}));
    EXPECT_LE(tile->Data()->Thumbnail()->GetHeight(), 120u);
    EXPECT_LE(tile->Data()->Thumbnail()->GetWidth(), 148u);

    // An edited square picture gets a thumbnail bounded on both sides.
    tile->SetPicture(TestPictures::Pattern(300, 300));
    EXPECT_EQ(tile->Data()->Thumbnail()->GetWidth(), 120u);
    EXPECT_EQ(tile->Data()->Thumbnail()->GetHeight(), 120u);
    Click(Inside(tile->rotateRightButton));
    EXPECT_EQ(tile->Data()->Thumbnail()->GetHeight(), 120u);
}

TEST_F(PostItemTest, TheEditAndViewButtonsAskTheListsOwnerForTheForms)
{
    auto* tile = AddPost(Photo("photo.png", 64, 48));
    Refresh();
    std::vector<std::pair<char, ListViewItem*>> requests;
    Platform::ScopedConnection edit =
        list->EditRequested.connect([&](ListViewItem* asked) { requests.emplace_back('e', asked); });
    Platform::ScopedConnection view =
        list->ViewRequested.connect([&](ListViewItem* asked) { requests.emplace_back('v', asked); });
    Click(Inside(tile->editButton));
    Click(Inside(tile->viewButton));
    const std::vector<std::pair<char, ListViewItem*>> expected{{'e', tile}, {'v', tile}};
    EXPECT_EQ(requests, expected);

    // A list that does not take edits asks for nothing.
    list->SetEditable(0);
    Click(Inside(tile->editButton));
    EXPECT_EQ(requests.size(), 2u);
}

TEST_F(PostItemTest, TheRemarkIsEditedInPlaceAsOneLineAndCommittedByAClickOrFocusLoss)
{
    auto* tile = AddPost(L"/nonexistent-trellan/holiday.jpg");
    AddPost(L"/nonexistent-trellan/other.jpg");
    Refresh();
    const HWND editor = list->RemarkEditor().Window();
    Click(Inside(tile->remarkStrip));
    ASSERT_TRUE(IsWindowVisible(editor));
    EXPECT_EQ(list->EditingItem(), tile);
    RECT place;
    GetWindowRect(editor, &place);
    const RECT strip = tile->remarkStrip;
    EXPECT_EQ(place, (RECT{Screen(strip.left, strip.top).x, Screen(strip.left, strip.top).y,
                           Screen(strip.right, strip.bottom).x, Screen(strip.right, strip.bottom).y}));
    EXPECT_EQ(GetWindowTextW(editor), tile->Data()->remark);
    CurrentBackend().InjectText(L"海边\r\n日落");
    PumpPending();
    Click(POINT{500, 300}); // empty space of the list
    EXPECT_EQ(tile->Data()->remark, L"海边日落");
    EXPECT_FALSE(IsWindowVisible(editor));
    EXPECT_EQ(list->EditingItem(), nullptr);

    const auto edit = [&](const std::wstring& text) {
        Click(Inside(tile->remarkStrip));
        EXPECT_EQ(GetWindowTextW(editor), tile->Data()->remark);
        SetWindowTextW(editor, text.c_str());
        Click(POINT{500, 300});
        EXPECT_FALSE(IsWindowVisible(editor));
    };
    edit(L"");
    EXPECT_EQ(tile->Data()->remark, L"海边日落") << "an empty text keeps the remark";
    edit(L"one\r\ntwo\n");
    EXPECT_EQ(tile->Data()->remark, L"onetwo");
    edit(std::wstring(300, L'x'));
    EXPECT_EQ(tile->Data()->remark, std::wstring(259, L'x'));

    Click(Inside(tile->remarkStrip));
    ASSERT_EQ(GetFocus(), editor);
    SetWindowTextW(editor, L"新的");
    SetFocus(owner);
    PumpPending();
    EXPECT_EQ(tile->Data()->remark, L"新的") << "committed when the editor lost the focus";
    EXPECT_EQ(list->EditingItem(), nullptr);
}

TEST_F(PostItemTest, ScrollingCommitsTheRemarkAndATileThatGoesAwayClosesTheEditor)
{
    for (int i = 0; i < 12; ++i)
        AddPost(L"/nonexistent-trellan/" + std::to_wstring(i) + L".jpg");
    Refresh();
    auto* tile = static_cast<ListViewPostItem*>(list->Items()[0]);
    const HWND editor = list->RemarkEditor().Window();
    Click(Inside(tile->remarkStrip));
    SetWindowTextW(editor, L"滚动");
    CurrentBackend().InjectWheel(-120, Screen(100, 100));
    PumpPending();
    ASSERT_GT(list->ScrollPosition(), 0);
    EXPECT_EQ(tile->Data()->remark, L"滚动");
    EXPECT_FALSE(IsWindowVisible(editor));
    EXPECT_EQ(list->EditingItem(), nullptr);

    list->ScrollTo(0);
    Click(Inside(tile->remarkStrip));
    ASSERT_EQ(list->EditingItem(), tile);
    SetWindowTextW(editor, L"不保存");
    list->RemoveItem(tile->Id());
    EXPECT_EQ(list->EditingItem(), nullptr);
    EXPECT_FALSE(IsWindowVisible(editor));
    Click(POINT{500, 300});
    EXPECT_EQ(list->Count(), 11);
}

TEST_F(PostItemTest, TheBandReadsWhatWasSentAndSuccessOnlyWhenTheServerSaidSo)
{
    ImageData record(L"/nonexistent-trellan/a.jpg");
    EXPECT_EQ(ListViewPostItem::ProgressText(record, false), L"0%");
    record.uploadSize = 1000000;
    record.sentBytes = 999999;
    EXPECT_EQ(ListViewPostItem::ProgressText(record, false), L"99%");
    record.sentBytes = 1000000;
    EXPECT_EQ(ListViewPostItem::ProgressText(record, false), L"100%");
    EXPECT_EQ(ListViewPostItem::ProgressText(record, true), L"上传成功");
    record.sentBytes = 3000000;
    EXPECT_EQ(ListViewPostItem::ProgressFraction(record), 1.0f);
    record.sentBytes = -5;
    EXPECT_EQ(ListViewPostItem::ProgressFraction(record), 0.0f);
    record.uploadSize = 0;
    record.sentBytes = 10;
    EXPECT_EQ(ListViewPostItem::ProgressFraction(record), 0.0f);
    // Sizes beyond 32 bits.
    record.uploadSize = std::int64_t{6} << 30;
    record.sentBytes = std::int64_t{3} << 30;
    EXPECT_EQ(ListViewPostItem::ProgressText(record, false), L"50%");
}

TEST_F(PostItemTest, ACaptionShowsAnAmpersandAsItIs)
{
    // Two captions that a mnemonic prefix would make look the same.
    AddPost(L"/nonexistent-trellan/a.png")->Data()->remark = L"R&D_报告.png";
    AddPost(L"/nonexistent-trellan/b.png")->Data()->remark = L"RD_报告.png";
    Refresh();
    UpdateWindow(list->GetHwnd());
    const HDC dc = GetDC(list->GetHwnd());
    // The dark pixels of a tile's caption strip, and the rightmost column holding one.
    const auto ink = [&](const RECT& tile, int& right) {
        std::vector<bool> dark;
        right = -1;
        for (int y = tile.top + 120; y < tile.bottom; ++y) {
            for (int x = tile.left + 3; x < tile.right; ++x) {
                const COLORREF c = GetPixel(dc, x, y);
                const bool isDark = GetRValue(c) < 0x90 && GetGValue(c) < 0x90 && GetBValue(c) < 0x90;
                dark.push_back(isDark);
                if (isDark)
                    right = std::max(right, x - tile.left);
            }
        }
        return dark;
    };
    int withAmpersand = 0, without = 0;
    const std::vector<bool> first = ink(list->Items()[0]->GetBounds(), withAmpersand);
    const std::vector<bool> second = ink(list->Items()[1]->GetBounds(), without);
    ReleaseDC(list->GetHwnd(), dc);
    ASSERT_GT(without, 20) << "the caption is drawn";
    EXPECT_NE(first, second);
    EXPECT_GT(withAmpersand, without + 3) << "the ampersand takes its room";
}

TEST_F(PostItemTest, ATileTakenFromThePickerSharesItsRecord)
{
    auto record = std::make_shared<ImageData>(L"/nonexistent-trellan/a.jpg");
    ListViewSelectItem picker(record);
    picker.checked = 1;
    picker.GetState() = ListViewItem::Selected;
    ListViewPostItem tile(nullptr, L"/nonexistent-trellan/b.jpg");
    tile.TakeFrom(picker);
    EXPECT_EQ(tile.Data(), record);
    EXPECT_EQ(tile.File(), record);
    EXPECT_EQ(tile.checked, 1);
    EXPECT_EQ(tile.GetState(), 0);
}

TEST_F(PostItemTest, AddedTilesAppearAtOnceAndTheLoaderFillsInTheirPictures)
{
    std::vector<ListViewPostItem*> tiles;
    for (int i = 0; i < 6; ++i)
        tiles.push_back(AddPost(Photo("p" + std::to_string(i) + ".png", 300 + i, 200)));
    Refresh();
    // The user turns one before it was read; the turn holds once it is.
    tiles[1]->RotateRight();
    // A tile deleted while the loader runs is simply gone.
    list->RemoveItem(tiles[5]->Id());
    ASSERT_TRUE(LoadAll());
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(tiles[i]->Data()->Thumbnail()) << i;
        EXPECT_EQ(tiles[i]->Data()->Picture()->GetWidth(), i == 1 ? 200u : 300u + i);
    }
    // Starting again reads nothing and undoes nothing.
    tiles[2]->SetPicture(TestPictures::Pattern(10, 10));
    finished = 0;
    list->StartLoading();
    ASSERT_TRUE(LoadAll());
    EXPECT_EQ(tiles[2]->Data()->Picture()->GetWidth(), 10u);
}

// ---------------------------------------------------------------------------------
// How tiles look

class PostItemLooks : public PostItemTest {
protected:
    void SetUp() override
    {
        PostItemTest::SetUp();
        // A 3:2 photo and a square one, side by side.
        AddPost(Photo("sunset.png", 600, 400));
        AddPost(Photo("square.png", 300, 300));
        list->Items()[0]->Data()->remark = L"海边的日落 sunset over the sea.png";
        Refresh();
        ASSERT_TRUE(LoadAll());
    }

    void ExpectLooks(const std::string& name)
    {
        list->InvalidateAll();
        PumpPending();
        const std::string file = "Views/post-item-" + name + ".png";
        RECT area{10, 20, 10 + 330, 20 + 165};
        ASSERT_TRUE(Headless().Screenshot(owner, PixelReference::OutputPath(file), &area));
        const auto compared = PixelReference::CompareWithReference(file);
        EXPECT_TRUE(compared.matches) << compared.message;
    }
};

TEST_F(PostItemLooks, Normal)
{
    Click(Inside(list->Items()[1]->GetBounds()));
    // The pointer leaves the tile for empty space: selected, not hovered.
    CurrentBackend().InjectMouse(Backend::MouseAction::Move, Screen(500, 300));
    ExpectLooks("normal");
}

TEST_F(PostItemLooks, HoveredWithButtons)
{
    const RECT bounds = list->Items()[0]->GetBounds();
    CurrentBackend().InjectMouse(Backend::MouseAction::Move, Screen(60, 40));
    PumpPending();
    ASSERT_TRUE(list->Items()[0]->IsHovered());
    EXPECT_EQ(bounds.left, 4);
    ExpectLooks("hovered");
}

TEST_F(PostItemLooks, ProgressBandAt37PercentAndDone)
{
    auto* first = static_cast<ListViewPostItem*>(list->Items()[0]);
    auto* second = static_cast<ListViewPostItem*>(list->Items()[1]);
    AppState::Instance().SetUploading();
    first->Data()->uploadSize = 1000;
    first->Data()->sentBytes = 370;
    second->Data()->uploadSize = 1000;
    second->Data()->sentBytes = 1000;
    second->MarkComplete();
    // A tile added during the upload is not part of it: it draws no band.
    AddPost(Photo("late.png", 200, 150));
    Refresh();
    list->Items()[2]->Data()->Load();
    list->Items()[2]->Data()->uploadSize = 1000;
    list->Items()[2]->Data()->sentBytes = 500;
    ExpectLooks("progress");
    RECT area{10 + 332, 20, 10 + 332 + 150, 20 + 165};
    ASSERT_TRUE(Headless().Screenshot(owner, PixelReference::OutputPath("Views/post-item-late.png"), &area));
    const auto compared = PixelReference::CompareWithReference("Views/post-item-late.png");
    EXPECT_TRUE(compared.matches) << compared.message;
}

// The band of a tile whose last byte was sent, in English.
TEST_F(PostItemLooks, ProgressBandInEnglish)
{
    AppConfig::Instance().Language = UiLanguage::English;
    auto* first = static_cast<ListViewPostItem*>(list->Items()[0]);
    auto* second = static_cast<ListViewPostItem*>(list->Items()[1]);
    AppState::Instance().SetUploading();
    first->Data()->uploadSize = 1000;
    first->Data()->sentBytes = 999;
    second->Data()->uploadSize = 1000;
    second->Data()->sentBytes = 1000;
    second->MarkComplete();
    ExpectLooks("progress-en");
    AppConfig::Instance().Language = UiLanguage::Chinese;
}

TEST_F(PostItemLooks, FailureBandsAfterATaskAndTheWholeReasonWhenPointedAt)
{
    auto* first = static_cast<ListViewPostItem*>(list->Items()[0]);
    auto* second = static_cast<ListViewPostItem*>(list->Items()[1]);
    // A page that sent none of the members for it sees no failure band.
    first->MarkFailed("network", L"connection refused");
    EXPECT_FALSE(first->ShowsFailure());
    AppConfig::Instance().ShowUploadFeedback = true;
    first->MarkFailed("not_success", L"reply not a success: {\"success\":0,\"message\":\"album is full\"}");
    second->MarkFailed("cancelled", L"");
    CurrentBackend().InjectMouse(Backend::MouseAction::Move, Screen(500, 300));
    ExpectLooks("failed");
    CurrentBackend().InjectMouse(Backend::MouseAction::Move, Screen(60, 40));
    PumpPending();
    ASSERT_TRUE(first->IsHovered());
    ExpectLooks("failed-hovered");
    // A new task forgets the failure; so does a change of the picture.
    second->ForgetOutcome();
    EXPECT_FALSE(second->ShowsFailure());
    first->RotateRight();
    EXPECT_FALSE(first->ShowsFailure());

    // During a task: a retry shows on the progress band, a failure at once.
    AppState::Instance().SetUploading();
    first->Data()->uploadSize = 1000;
    first->Data()->sentBytes = 370;
    first->MarkRetry(2, 3);
    second->MarkFailed("timeout", L"time-out: no progress for 30 s");
    ExpectLooks("failed-uploading");
    AppConfig::Instance() = AppConfig();
}

// In English the bands read the English table's texts in the same places.
TEST_F(PostItemLooks, FailureBandsInEnglish)
{
    AppConfig::Instance().Language = UiLanguage::English;
    AppConfig::Instance().ShowUploadFeedback = true;
    auto* first = static_cast<ListViewPostItem*>(list->Items()[0]);
    auto* second = static_cast<ListViewPostItem*>(list->Items()[1]);
    first->MarkFailed("not_success", L"reply not a success");
    second->MarkFailed("cancelled", L"");
    CurrentBackend().InjectMouse(Backend::MouseAction::Move, Screen(500, 300));
    ExpectLooks("failed-en");
    AppConfig::Instance() = AppConfig();
}

} // namespace
