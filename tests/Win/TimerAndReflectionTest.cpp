#include "WinTestSupport.h"

#include "Platform/Win/Clock.h"
#include "Platform/Win/Reflection.h"
#include "Platform/Win/Screen.h"
#include "Platform/Win/Timer.h"

using namespace WinTest;

namespace {

class TimerTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        UseManualClock();
    }
    void TearDown() override
    {
        UseSystemClock();
        WindowTest::TearDown();
    }
};

TEST_F(TimerTest, TimersFireByTheClockOncePerDuePeriodAndStopWhenKilled)
{
    HWND window = TopLevel(0, 0, 10, 10);
    PumpPending();
    Log().log.clear();
    ASSERT_EQ(SetTimer(window, 5, 100, nullptr), 5u);
    PumpPending();
    EXPECT_TRUE(Log().Of(WM_TIMER).empty());
    AdvanceManualClock(100);
    PumpPending();
    ASSERT_EQ(Log().Of(WM_TIMER).size(), 1u);
    EXPECT_EQ(Log().Of(WM_TIMER)[0].wParam, 5u);
    AdvanceManualClock(350);
    PumpPending();
    EXPECT_EQ(Log().Of(WM_TIMER).size(), 2u);
    KillTimer(window, 5);
    AdvanceManualClock(1000);
    PumpPending();
    EXPECT_EQ(Log().Of(WM_TIMER).size(), 2u);
}

TEST_F(TimerTest, AWaitUnderAStandingManualClockStillReturnsAfterItsRealTimeout)
{
    HWND window = TopLevel(0, 0, 10, 10);
    SetTimer(window, 1, 50, nullptr);
    PumpPending();
    EXPECT_FALSE(WaitMessageTimeout(20));
    AdvanceManualClock(50);
    EXPECT_TRUE(WaitMessageTimeout(20));
}

TEST_F(TimerTest, DestroyingAWindowEndsItsTimers)
{
    HWND window = TopLevel(0, 0, 10, 10);
    SetTimer(window, 1, 10, nullptr);
    DestroyWindow(window);
    AdvanceManualClock(100);
    MSG message;
    EXPECT_FALSE(PeekMessageW(&message, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
}

class ReflectionTest : public WindowTest {};

TEST_F(ReflectionTest, NotificationsFromAChildGoBackToItAtTheReflectedMessage)
{
    HWND parent = TopLevel(0, 0, 100, 100);
    HWND child = Child(parent, 0, 0, 10, 10);
    Log().hook = [&](HWND hwnd, UINT message, WPARAM, LPARAM, LRESULT& result) {
        if (hwnd == child && message == OCM_BASE + WM_CTLCOLOREDIT) {
            result = 77;
            return true;
        }
        return false;
    };
    LRESULT result = 0;
    EXPECT_TRUE(ReflectNotification(parent, WM_COMMAND, MAKEWPARAM(3, 0x300), reinterpret_cast<LPARAM>(child), result));
    EXPECT_TRUE(ReflectNotification(parent, WM_CTLCOLOREDIT, 0, reinterpret_cast<LPARAM>(child), result));
    EXPECT_EQ(result, 77);
    const auto reflected = Log().Of(0x2111);
    ASSERT_EQ(reflected.size(), 1u);
    EXPECT_EQ(reflected[0].window, child);
    EXPECT_EQ(HIWORD(reflected[0].wParam), 0x300);

    // A command from a menu or accelerator (no control) and a stranger window are not reflected.
    HWND stranger = TopLevel(200, 0, 10, 10);
    EXPECT_FALSE(ReflectNotification(parent, WM_COMMAND, IDOK, 0, result));
    EXPECT_FALSE(ReflectNotification(parent, WM_COMMAND, 0, reinterpret_cast<LPARAM>(stranger), result));
}

TEST(ScreenTest, TheHeadlessScreenAndItsWorkAreaAndTheCentringRule)
{
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1920);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 1080);
    MONITORINFO info;
    ASSERT_TRUE(GetMonitorInfoW(MonitorFromWindow(nullptr, MONITOR_DEFAULTTONEAREST), &info));
    EXPECT_EQ(info.rcWork, (RECT{0, 0, 1920, 1040}));

    HWND owner = CreateWindowExW(0, RecordingClass(), L"", WS_POPUP | WS_VISIBLE, 1800, 100, 100, 100, nullptr, nullptr,
                                 nullptr, nullptr);
    HWND popup = CreateWindowExW(0, RecordingClass(), L"", WS_POPUP, 0, 0, 384, 174, owner, nullptr, nullptr, nullptr);
    CenterWindow(popup);
    RECT rect;
    GetWindowRect(popup, &rect);
    // Centred over the owner, then pulled back inside the work area's right edge.
    EXPECT_EQ(rect.left, 1920 - 384);
    EXPECT_EQ(rect.top, 150 - 87);
    ShowWindow(owner, SW_HIDE);
    CenterWindow(popup);
    GetWindowRect(popup, &rect);
    EXPECT_EQ(rect, (RECT{960 - 192, 520 - 87, 960 + 192, 520 + 87}));
    DestroyWindow(owner);
    EXPECT_FALSE(IsWindow(popup));
}

} // namespace
