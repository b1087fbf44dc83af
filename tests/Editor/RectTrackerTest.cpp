#include "EditorTestSupport.h"

#include "Editor/RectTracker.h"
#include "Platform/Win/Input.h"

#include <gtest/gtest.h>

using namespace Platform;
using namespace EditorTest;
using Action = Backend::MouseAction;

namespace {

class Tracker : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = OwnerWindow(0, 0, 600, 400);
        tracker.UpdateBounds(POINT{0, 0}, 500, 300);
        tracker.rectChanged.connect([this](RECT) { ++changes; });
        Pump();
    }
    void TearDown() override
    {
        DestroyWindow(window);
        Pump();
    }

    // Queues the moves and the release, then tracks from the press point.
    int TrackTo(POINT press, std::initializer_list<POINT> moves, Action end = Action::LeftUp)
    {
        POINT last = press;
        for (POINT p : moves) {
            Mouse(window, Action::Move, p);
            last = p;
        }
        Mouse(window, end, last);
        return tracker.Track(window, press, 1);
    }

    HWND window = nullptr;
    RectTracker tracker;
    int changes = 0;
};

TEST_F(Tracker, HandlesStraddleTheOutlineAndHitTestFindsThem)
{
    ASSERT_EQ(tracker.GetHandleSize(), 4);
    tracker.rect = RECT{100, 100, 140, 160};
    EXPECT_EQ(tracker.GetOuterRect(), (RECT{96, 96, 144, 164}));
    EXPECT_EQ(tracker.GetHandleRect(0), (RECT{98, 98, 102, 102}));
    EXPECT_EQ(tracker.GetHandleRect(2), (RECT{138, 158, 142, 162}));
    EXPECT_EQ(tracker.GetHandleRect(4), (RECT{118, 98, 122, 102}));
    EXPECT_EQ(tracker.GetHandleRect(7), (RECT{98, 128, 102, 132}));
    EXPECT_EQ(tracker.HitTest(POINT{100, 100}), 0);
    EXPECT_EQ(tracker.HitTest(POINT{141, 130}), 5);
    EXPECT_EQ(tracker.HitTest(POINT{120, 130}), RectTracker::HitMove);
    EXPECT_EQ(tracker.HitTest(POINT{143, 110}), RectTracker::HitNothing);
    EXPECT_EQ(tracker.HitTest(POINT{300, 300}), RectTracker::HitNothing);
    // Turned over left-right, handle 0 sits on the right.
    tracker.rect = RECT{140, 100, 100, 160};
    EXPECT_EQ(tracker.GetHandleRect(0), (RECT{138, 98, 142, 102}));
    tracker.rect = RECT{};
    EXPECT_EQ(tracker.HitTest(POINT{0, 0}), RectTracker::HitNothing);
}

TEST_F(Tracker, MiddleHandlesGoWhenTheirSideIsShort)
{
    tracker.rect = RECT{0, 0, 10, 10};
    EXPECT_EQ(tracker.GetHandleMask(), 0x0Fu);
    tracker.rect = RECT{0, 0, 17, 40};
    EXPECT_EQ(tracker.GetHandleMask(), 0xFFu);
    tracker.rect = RECT{0, 0, 16, 40};
    EXPECT_EQ(tracker.GetHandleMask(), 0xAFu);
}

TEST_F(Tracker, DraggingACornerPastTheOppositeOneTurnsTheRectangleOver)
{
    tracker.rect = RECT{100, 100, 110, 110};
    EXPECT_TRUE(TrackTo(POINT{110, 110}, {POINT{90, 95}, POINT{80, 70}}));
    EXPECT_EQ(tracker.rect, (RECT{100, 100, 80, 70}));
    EXPECT_EQ(changes, 3);
    EXPECT_FALSE(GetCapture());
}

TEST_F(Tracker, ASideKeepsTheMinimumSizeFromTheOtherOne)
{
    tracker.rect = RECT{100, 100, 140, 140};
    EXPECT_TRUE(TrackTo(POINT{100, 120}, {POINT{137, 120}}));
    EXPECT_EQ(tracker.rect, (RECT{132, 100, 140, 140}));
}

TEST_F(Tracker, MovingKeepsTheSizeAndStaysInsideTheBounds)
{
    tracker.rect = RECT{100, 100, 140, 140};
    EXPECT_TRUE(TrackTo(POINT{120, 120}, {POINT{600, 130}}));
    EXPECT_EQ(tracker.rect, (RECT{460, 110, 500, 150}));
}

TEST_F(Tracker, EscOrTheRightButtonPutTheSelectionBack)
{
    tracker.rect = RECT{100, 100, 140, 140};
    Mouse(window, Action::Move, POINT{200, 200});
    Key(VK_ESCAPE);
    EXPECT_FALSE(tracker.Track(window, POINT{140, 140}, 1));
    EXPECT_EQ(tracker.rect, (RECT{100, 100, 140, 140}));
    EXPECT_FALSE(TrackTo(POINT{120, 120}, {POINT{160, 160}}, Action::RightDown));
    EXPECT_EQ(tracker.rect, (RECT{100, 100, 140, 140}));
    EXPECT_FALSE(GetCapture());
}

TEST_F(Tracker, TrackingIsRefusedWhileAnotherWindowHoldsTheCapture)
{
    tracker.rect = RECT{100, 100, 140, 140};
    HWND other = OwnerWindow(0, 0, 10, 10);
    SetCapture(other);
    EXPECT_FALSE(tracker.Track(window, POINT{120, 120}, 1));
    EXPECT_EQ(GetCapture(), other);
    ReleaseCapture();
    DestroyWindow(other);
}

TEST_F(Tracker, ClampingPullsTheMovingCornerOntoThePicture)
{
    tracker.UpdateBounds(POINT{198, 149}, 300, 200);
    tracker.rect = RECT{400, 200, 650, 400};
    tracker.ClampToBounds();
    EXPECT_EQ(tracker.rect, (RECT{400, 200, 498, 349}));
    tracker.rect = RECT{400, 200, 100, 100};
    tracker.ClampToBounds();
    EXPECT_EQ(tracker.rect, (RECT{400, 200, 198, 149}));
}

} // namespace
