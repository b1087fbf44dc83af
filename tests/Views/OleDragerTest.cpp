#include "Win/WinTestSupport.h"

#include "Platform/Ole/DragDrop.h"
#include "Platform/Win/Input.h"
#include "Views/CustomDataObject.h"
#include "Views/FormatRegistry.h"
#include "Views/OleDrager.h"

#include "TileDropSupport.h"

using namespace WinTest;

namespace {

using TileTarget = TileDrop::RecordingViewTarget;

class OleDragerTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        FormatRegistry::Instance().RegisterFormat(L"ListViewItem");
        list = TopLevel(0, 0, 200, 200);
        other = TopLevel(300, 0, 200, 200);
        ASSERT_EQ(RegisterDragDrop(other, target.Get()), S_OK);
        PumpPending();
    }

    // A press on a tile prepares the drag, as a list does.
    void PressOnTile(std::uint32_t id)
    {
        auto data = ComPtr<CustomDataObject>::Adopt(new CustomDataObject);
        data->SetItemId(id, L"ListViewItem");
        drager.Prepare(data.Get());
        Mouse(Backend::MouseAction::LeftDown, 50, 50);
        PumpPending();
    }

    HWND list = nullptr;
    HWND other = nullptr;
    ComPtr<TileTarget> target = ComPtr<TileTarget>::Adopt(new TileTarget);
    OleDrager drager;
};

TEST_F(OleDragerTest, ATileDraggedToAnotherListArrivesThereAsACopy)
{
    PressOnTile(42);
    EXPECT_TRUE(drager.IsPending());
    Mouse(Backend::MouseAction::Move, 60, 60);
    Mouse(Backend::MouseAction::Move, 350, 60);
    CurrentBackend().InjectKey(VK_SHIFT, true);
    Mouse(Backend::MouseAction::LeftUp, 350, 60);
    drager.Run(list);
    CurrentBackend().InjectKey(VK_SHIFT, false);
    PumpPending();
    EXPECT_FALSE(drager.IsPending());
    EXPECT_EQ(target->tileIds, (std::vector<std::uint32_t>{42}));
    EXPECT_EQ(target->dropEffects, (std::vector<DWORD>{DROPEFFECT_COPY}));
}

TEST_F(OleDragerTest, EscapeEndsTheDragWithoutADrop)
{
    PressOnTile(7);
    Mouse(Backend::MouseAction::Move, 350, 60);
    CurrentBackend().InjectKey(VK_ESCAPE, true);
    CurrentBackend().InjectKey(VK_ESCAPE, false);
    Mouse(Backend::MouseAction::LeftUp, 350, 60);
    drager.Run(list);
    PumpPending();
    EXPECT_FALSE(drager.IsPending());
    EXPECT_TRUE(target->tileIds.empty());
    EXPECT_TRUE(target->dropEffects.empty());
}

TEST_F(OleDragerTest, AReleaseWithoutAMoveCancelsAndNothingRunsWithoutAWindow)
{
    PressOnTile(7);
    drager.Cancel();
    EXPECT_FALSE(drager.IsPending());
    PressOnTile(8);
    Mouse(Backend::MouseAction::Move, 350, 60);
    Mouse(Backend::MouseAction::LeftUp, 350, 60);
    drager.Run(reinterpret_cast<HWND>(0xDEAD0));
    EXPECT_FALSE(drager.IsPending());
    PumpPending();
    EXPECT_TRUE(target->tileIds.empty());
}

TEST_F(OleDragerTest, FilesDroppedFromOutsideAreCopiedEvenWithShiftHeld)
{
    const std::vector<std::wstring> paths = {L"/home/用户/a.jpg", L"/home/b.png"};
    CurrentBackend().InjectFileDrop(paths, POINT{350, 60}, MK_SHIFT);
    PumpPending();
    EXPECT_EQ(target->files, paths);
    EXPECT_EQ(target->dropEffects, (std::vector<DWORD>{DROPEFFECT_COPY}));
}

TEST_F(OleDragerTest, FilesReachOnlyTheTargetOfTheWindowUnderThePoint)
{
    auto listTarget = ComPtr<TileTarget>::Adopt(new TileTarget);
    ASSERT_EQ(RegisterDragDrop(list, listTarget.Get()), S_OK);
    CurrentBackend().InjectFileDrop({L"/a.jpg"}, POINT{20, 20}, 0);
    CurrentBackend().InjectFileDrop({L"/b.jpg"}, POINT{320, 20}, 0);
    CurrentBackend().InjectFileDrop({L"/c.jpg"}, POINT{250, 20}, 0);
    PumpPending();
    EXPECT_EQ(listTarget->files, (std::vector<std::wstring>{L"/a.jpg"}));
    EXPECT_EQ(target->files, (std::vector<std::wstring>{L"/b.jpg"}));
}

} // namespace
