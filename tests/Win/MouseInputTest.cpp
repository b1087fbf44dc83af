#include "WinTestSupport.h"

#include "Platform/Win/Clock.h"
#include "Platform/Win/Input.h"

using namespace WinTest;

namespace {

class MouseInputTest : public WindowTest {
protected:
    void TearDown() override
    {
        UseSystemClock();
        WindowTest::TearDown();
    }
};

POINT PointOf(const Received& received)
{
    return POINT{GET_X_LPARAM(received.lParam), GET_Y_LPARAM(received.lParam)};
}

TEST_F(MouseInputTest, MessagesGoToTheDeepestWindowUnderThePointInClientCoordinates)
{
    HWND parent = TopLevel(100, 100, 200, 200);
    HWND child = Child(parent, 50, 40, 60, 60);
    PumpPending();
    Log().log.clear();
    Mouse(Backend::MouseAction::LeftDown, 160, 150);
    Mouse(Backend::MouseAction::LeftDown, 110, 110);
    PumpPending();
    const auto downs = Log().Of(WM_LBUTTONDOWN);
    ASSERT_EQ(downs.size(), 2u);
    EXPECT_EQ(downs[0].window, child);
    EXPECT_EQ(PointOf(downs[0]), (POINT{10, 10}));
    EXPECT_EQ(downs[0].wParam & MK_LBUTTON, MK_LBUTTON);
    EXPECT_EQ(downs[1].window, parent);
    EXPECT_EQ(PointOf(downs[1]), (POINT{10, 10}));
    Mouse(Backend::MouseAction::LeftUp, 110, 110);
    PumpPending();
}

TEST_F(MouseInputTest, TheCaptureWindowGetsMovesAndTheReleaseOutsideIt)
{
    HWND parent = TopLevel(0, 0, 300, 300);
    HWND left = Child(parent, 0, 0, 100, 100);
    PumpPending();
    Log().hook = [&](HWND hwnd, UINT message, WPARAM, LPARAM, LRESULT&) {
        if (message == WM_LBUTTONDOWN)
            SetCapture(hwnd);
        if (message == WM_LBUTTONUP)
            ReleaseCapture();
        return false;
    };
    Mouse(Backend::MouseAction::LeftDown, 50, 50);
    PumpPending();
    EXPECT_EQ(GetCapture(), left);
    Log().log.clear();
    Mouse(Backend::MouseAction::Move, 250, 260);
    Mouse(Backend::MouseAction::LeftUp, 250, 260);
    PumpPending();
    const auto moves = Log().Of(WM_MOUSEMOVE);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0].window, left);
    EXPECT_EQ(PointOf(moves[0]), (POINT{250, 260}));
    ASSERT_EQ(Log().Of(WM_LBUTTONUP).size(), 1u);
    EXPECT_EQ(Log().Of(WM_LBUTTONUP)[0].window, left);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(MouseInputTest, LeaveTrackingReportsLeavingOnceAndHoverAfterRestingThere)
{
    UseManualClock();
    HWND parent = TopLevel(0, 0, 300, 300);
    HWND tracked = Child(parent, 0, 0, 100, 100);
    PumpPending();
    Mouse(Backend::MouseAction::Move, 10, 10);
    PumpPending();
    TRACKMOUSEEVENT request;
    request.dwFlags = TME_LEAVE | TME_HOVER;
    request.hwndTrack = tracked;
    request.dwHoverTime = 10;
    ASSERT_TRUE(TrackMouseEvent(&request));
    Log().log.clear();
    PumpPending();
    EXPECT_TRUE(Log().Of(WM_MOUSEHOVER).empty());
    AdvanceManualClock(10);
    PumpPending();
    ASSERT_EQ(Log().Of(WM_MOUSEHOVER).size(), 1u);
    EXPECT_EQ(Log().Of(WM_MOUSEHOVER)[0].window, tracked);

    Mouse(Backend::MouseAction::Move, 20, 20);
    Mouse(Backend::MouseAction::Move, 200, 200);
    Mouse(Backend::MouseAction::Move, 210, 200);
    PumpPending();
    ASSERT_EQ(Log().Of(WM_MOUSELEAVE).size(), 1u);
    EXPECT_EQ(Log().Of(WM_MOUSELEAVE)[0].window, tracked);
}

TEST_F(MouseInputTest, TrackingAWindowThePointerIsNotOverReportsLeaveAtOnce)
{
    HWND parent = TopLevel(0, 0, 300, 300);
    HWND tracked = Child(parent, 0, 0, 100, 100);
    Mouse(Backend::MouseAction::Move, 200, 200);
    PumpPending();
    Log().log.clear();
    TRACKMOUSEEVENT request;
    request.dwFlags = TME_LEAVE;
    request.hwndTrack = tracked;
    TrackMouseEvent(&request);
    PumpPending();
    EXPECT_EQ(Log().MessagesOf(tracked, {WM_MOUSELEAVE}).size(), 1u);
}

TEST_F(MouseInputTest, DoubleClicksNeedTheClassStyleAQuickSecondPressAndTheSamePlace)
{
    UseManualClock();
    HWND plain = TopLevel(0, 0, 100, 100);
    HWND clicks = TopLevel(200, 0, 100, 100, WS_POPUP | WS_VISIBLE, CS_DBLCLKS);
    PumpPending();
    Log().log.clear();
    Click(250, 50);
    AdvanceManualClock(100);
    Click(251, 51);
    PumpPending();
    EXPECT_EQ(Log().MessagesOf(clicks, {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}),
              (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}));

    Log().log.clear();
    Click(250, 50);
    AdvanceManualClock(600);
    Click(250, 50);
    Click(260, 50);
    PumpPending();
    EXPECT_EQ(Log().MessagesOf(clicks, {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}),
              (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONDOWN, WM_LBUTTONDOWN}));

    Log().log.clear();
    Click(50, 50);
    Click(50, 50);
    PumpPending();
    EXPECT_EQ(Log().MessagesOf(plain, {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}),
              (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONDOWN}));
}

TEST_F(MouseInputTest, WheelAndRightButtonCarryTheirPackedParameters)
{
    HWND window = TopLevel(100, 100, 100, 100);
    PumpPending();
    Log().log.clear();
    CurrentBackend().InjectKey(VK_CONTROL, true);
    CurrentBackend().InjectWheel(-120, POINT{150, 160});
    CurrentBackend().InjectKey(VK_CONTROL, false);
    Mouse(Backend::MouseAction::RightDown, 120, 130);
    Mouse(Backend::MouseAction::RightUp, 120, 130);
    PumpPending();
    const auto wheels = Log().Of(WM_MOUSEWHEEL);
    ASSERT_EQ(wheels.size(), 1u);
    EXPECT_EQ(wheels[0].window, window);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheels[0].wParam), -120);
    EXPECT_EQ(GET_KEYSTATE_WPARAM(wheels[0].wParam) & MK_CONTROL, MK_CONTROL);
    EXPECT_EQ(PointOf(wheels[0]), (POINT{150, 160}));
    ASSERT_EQ(Log().Of(WM_RBUTTONDOWN).size(), 1u);
    EXPECT_EQ(PointOf(Log().Of(WM_RBUTTONDOWN)[0]), (POINT{20, 30}));
}

TEST_F(MouseInputTest, ADisabledWindowGetsNoClicks)
{
    HWND window = TopLevel(0, 0, 100, 100);
    EnableWindow(window, FALSE);
    PumpPending();
    Log().log.clear();
    Click(10, 10);
    PumpPending();
    EXPECT_TRUE(Log().Of(WM_LBUTTONDOWN).empty());
}

TEST_F(MouseInputTest, HitTestingOutsideTheClientAreaGivesNonClientMessagesAndCursors)
{
    HWND window = TopLevel(0, 0, 100, 100);
    PumpPending();
    Log().hook = [&](HWND, UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
        if (message != WM_NCHITTEST)
            return false;
        result = GET_X_LPARAM(lParam) >= 97 ? HTRIGHT : HTCLIENT;
        return true;
    };
    Log().log.clear();
    Mouse(Backend::MouseAction::Move, 98, 50);
    PumpPending();
    ASSERT_EQ(Log().MessagesOf(window, {WM_NCMOUSEMOVE, WM_MOUSEMOVE}), (std::vector<UINT>{WM_NCMOUSEMOVE}));
    EXPECT_EQ(Log().Of(WM_NCMOUSEMOVE)[0].wParam, static_cast<WPARAM>(HTRIGHT));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_SIZEWE));
    EXPECT_EQ(Headless().Cursor(), LoadCursorW(nullptr, IDC_SIZEWE));
}

} // namespace
