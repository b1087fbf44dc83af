#include "WinTestSupport.h"

#include "Platform/Win/Clock.h"
#include "Platform/Win/ScrollBar.h"
#include "Platform/Win/Timer.h"

using namespace WinTest;

namespace {

// A 117 x 100 window at (0, 0) with a vertical bar: client 100 wide, the bar from x 100
// to 117; arrows 17 pixels high at each end.
class ScrollBarTest : public WindowTest {
protected:
    HWND ScrollingWindow(int maximum, UINT page)
    {
        HWND window = TopLevel(0, 0, 117, 100, WS_POPUP | WS_VISIBLE | WS_VSCROLL);
        SCROLLINFO info;
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
        info.nMax = maximum;
        info.nPage = page;
        SetScrollInfo(window, SB_VERT, &info, TRUE);
        PumpPending();
        Log().log.clear();
        return window;
    }

    std::vector<std::pair<WORD, int>> Codes() const
    {
        std::vector<std::pair<WORD, int>> codes;
        for (const Received& received : Recorder::Instance().Of(WM_VSCROLL))
            codes.emplace_back(LOWORD(received.wParam), static_cast<std::int16_t>(HIWORD(received.wParam)));
        return codes;
    }
};

TEST_F(ScrollBarTest, TheBarTakesItsRoomFromTheClientArea)
{
    HWND window = ScrollingWindow(300, 100);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client, (RECT{0, 0, 100, 100}));
}

TEST_F(ScrollBarTest, ArrowsAndPageAreasSendTheirCodesThenEndScroll)
{
    ScrollingWindow(300, 100);
    Click(108, 5);
    Click(108, 95);
    Click(108, 80);
    PumpPending();
    EXPECT_EQ(Codes(), (std::vector<std::pair<WORD, int>>{{SB_LINEUP, 0},
                                                          {SB_ENDSCROLL, 0},
                                                          {SB_LINEDOWN, 0},
                                                          {SB_ENDSCROLL, 0},
                                                          {SB_PAGEDOWN, 0},
                                                          {SB_ENDSCROLL, 0}}));
}

// Holding the down arrow (108, 95) on the real clock. afterStep runs in the window's
// procedure after each SB_LINEDOWN with the number of steps so far; a second window's
// timer releases the button (ReleaseAfter), after ten seconds should nothing else have.
class HeldArrowTest : public ScrollBarTest {
protected:
    std::vector<DWORD> HoldDownArrow(const std::function<void(int)>& afterStep)
    {
        ScrollingWindow(300, 100);
        watchdog = TopLevel(300, 300, 10, 10);
        ReleaseAfter(10000);
        std::vector<DWORD> steps;
        Log().hook = [&](HWND window, UINT message, WPARAM wParam, LPARAM, LRESULT&) {
            if (message == WM_VSCROLL && LOWORD(wParam) == SB_LINEDOWN) {
                steps.push_back(GetTickCount());
                afterStep(static_cast<int>(steps.size()));
            } else if (window == watchdog && message == WM_TIMER) {
                Mouse(Backend::MouseAction::LeftUp, 50, 50);
            }
            return false;
        };
        Mouse(Backend::MouseAction::LeftDown, 108, 95);
        PumpPending();
        KillTimer(watchdog, 7);
        Log().hook = nullptr;
        return steps;
    }
    // Set from a step, the release comes after the next due repeat, not before it.
    void ReleaseAfter(UINT milliseconds) { SetTimer(watchdog, 7, milliseconds, nullptr); }

    HWND watchdog = nullptr;
};

TEST_F(HeldArrowTest, AHeldArrowStepsAgainAfterAPauseThenSteadilyUntilReleased)
{
    const auto steps = HoldDownArrow([this](int count) {
        if (count == 4)
            Mouse(Backend::MouseAction::LeftUp, 108, 95);
    });
    ASSERT_EQ(steps.size(), 4u);
    EXPECT_GE(steps[1] - steps[0], 250u);
    EXPECT_GE(steps[2] - steps[1], 50u);
    EXPECT_EQ(Codes().back(), (std::pair<WORD, int>{SB_ENDSCROLL, 0}));
}

TEST_F(HeldArrowTest, StepsStopWhileThePointerIsOffTheArrow)
{
    const auto steps = HoldDownArrow([this](int count) {
        if (count == 2) {
            Mouse(Backend::MouseAction::Move, 50, 95);
            ReleaseAfter(400);
        }
    });
    EXPECT_EQ(steps.size(), 2u);
    EXPECT_EQ(Codes().back(), (std::pair<WORD, int>{SB_ENDSCROLL, 0}));
}

TEST_F(ScrollBarTest, DraggingTheThumbTracksPositionsAndEndsWithThePosition)
{
    // Track 66 pixels, thumb 66 * 100 / 301 = 21, positions 0 .. 201 over 45 pixels.
    HWND window = ScrollingWindow(300, 100);
    Mouse(Backend::MouseAction::LeftDown, 108, 20);
    Mouse(Backend::MouseAction::Move, 108, 40);
    Mouse(Backend::MouseAction::Move, 108, 300);
    Mouse(Backend::MouseAction::LeftUp, 108, 300);
    PumpPending();
    const auto codes = Codes();
    ASSERT_EQ(codes.size(), 4u);
    EXPECT_EQ(codes[0], (std::pair<WORD, int>{SB_THUMBTRACK, 20 * 201 / 45}));
    EXPECT_EQ(codes[1], (std::pair<WORD, int>{SB_THUMBTRACK, 201}));
    EXPECT_EQ(codes[2], (std::pair<WORD, int>{SB_THUMBPOSITION, 201}));
    EXPECT_EQ(codes[3].first, SB_ENDSCROLL);
    // The bar does not move by itself: the window sets the position.
    EXPECT_EQ(GetScrollPos(window, SB_VERT), 0);
}

TEST_F(ScrollBarTest, PositionsAreKeptInRangeAndReadBack)
{
    HWND window = ScrollingWindow(300, 100);
    EXPECT_EQ(SetScrollPos(window, SB_VERT, 500, TRUE), 0);
    SCROLLINFO info;
    info.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(window, SB_VERT, &info));
    EXPECT_EQ(info.nPos, 201);
    EXPECT_EQ(info.nMax, 300);
    EXPECT_EQ(info.nPage, 100u);
    SetScrollPos(window, SB_VERT, -5, TRUE);
    EXPECT_EQ(GetScrollPos(window, SB_VERT), 0);
}

TEST_F(ScrollBarTest, ADisabledBarIgnoresTheMouse)
{
    HWND window = ScrollingWindow(300, 100);
    EnableScrollBar(window, SB_BOTH, ESB_DISABLE_BOTH);
    Click(108, 95);
    PumpPending();
    EXPECT_TRUE(Codes().empty());
    EnableScrollBar(window, SB_VERT, ESB_ENABLE_BOTH);
    Click(108, 95);
    PumpPending();
    EXPECT_EQ(Codes().size(), 2u);
}

TEST_F(ScrollBarTest, ARangeThatNeedsNoScrollingHidesTheBarUnlessAskedToKeepIt)
{
    HWND window = ScrollingWindow(300, 100);
    SCROLLINFO info;
    info.fMask = SIF_RANGE | SIF_PAGE;
    info.nMax = 50;
    info.nPage = 100;
    SetScrollInfo(window, SB_VERT, &info, TRUE);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 117);
    info.fMask |= SIF_DISABLENOSCROLL;
    SetScrollInfo(window, SB_VERT, &info, TRUE);
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 100);
}

TEST_F(ScrollBarTest, DisabledBarsStayVisibleWhenOnlyTheirPositionIsSet)
{
    HWND window = TopLevel(0, 0, 117, 117, WS_POPUP | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL);
    EnableScrollBar(window, SB_BOTH, ESB_DISABLE_BOTH);
    SetScrollPos(window, SB_VERT, 0, TRUE);
    SetScrollPos(window, SB_HORZ, 0, TRUE);
    PumpPending();
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client, (RECT{0, 0, 100, 100}));
    // A range that needs scrolling, then one that does not: the bar kept by
    // SIF_DISABLENOSCROLL stays through a later position-only call.
    SCROLLINFO info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    info.nMax = 50;
    info.nPage = 100;
    SetScrollInfo(window, SB_VERT, &info, TRUE);
    SetScrollPos(window, SB_VERT, 10, TRUE);
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 100);
    EXPECT_EQ(GetScrollPos(window, SB_VERT), 0);
    Log().log.clear();
    Click(108, 95);
    PumpPending();
    EXPECT_TRUE(Codes().empty());
}

} // namespace
