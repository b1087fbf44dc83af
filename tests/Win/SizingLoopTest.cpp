#include "WinTestSupport.h"

#include "Platform/Win/Input.h"

using namespace WinTest;

namespace {

class SizingLoopTest : public WindowTest {};

TEST_F(SizingLoopTest, DraggingAnEdgeResizesThroughWmSizingAndKeepsTheMinimumSize)
{
    HWND window = TopLevel(100, 100, 400, 300);
    PumpPending();
    std::vector<RECT> proposals;
    Log().hook = [&](HWND, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
        switch (message) {
        case WM_NCHITTEST:
            result = GET_X_LPARAM(lParam) >= 497 ? HTRIGHT : HTCLIENT;
            return true;
        case WM_SIZING:
            EXPECT_EQ(wParam, WMSZ_RIGHT);
            proposals.push_back(*reinterpret_cast<RECT*>(lParam));
            result = TRUE;
            return true;
        case WM_GETMINMAXINFO:
            reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = POINT{250, 200};
            return true;
        default:
            return false;
        }
    };
    // The loop runs inside the press's dispatch, so the whole drag is queued first.
    Mouse(Backend::MouseAction::LeftDown, 498, 200);
    Mouse(Backend::MouseAction::Move, 548, 210);
    Mouse(Backend::MouseAction::Move, 200, 210);
    Mouse(Backend::MouseAction::LeftUp, 200, 210);
    PumpPending();
    RECT rect;
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect, (RECT{100, 100, 350, 400}));
    ASSERT_EQ(proposals.size(), 2u);
    EXPECT_EQ(proposals[0], (RECT{100, 100, 550, 400}));
    EXPECT_EQ(proposals[1], (RECT{100, 100, 202, 400}));
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(SizingLoopTest, TheTopLeftCornerMovesTwoSidesAndEscapeRestores)
{
    HWND window = TopLevel(100, 100, 400, 300);
    PumpPending();
    std::vector<RECT> sizes;
    Log().hook = [&](HWND, UINT message, WPARAM, LPARAM, LRESULT& result) {
        if (message == WM_SIZE) {
            RECT now;
            GetWindowRect(window, &now);
            sizes.push_back(now);
        }
        if (message != WM_NCHITTEST)
            return false;
        result = HTTOPLEFT;
        return true;
    };
    Mouse(Backend::MouseAction::LeftDown, 101, 101);
    Mouse(Backend::MouseAction::Move, 91, 81);
    CurrentBackend().InjectKey(VK_ESCAPE, true);
    CurrentBackend().InjectKey(VK_ESCAPE, false);
    Mouse(Backend::MouseAction::LeftUp, 91, 81);
    PumpPending();
    ASSERT_EQ(sizes.size(), 2u);
    EXPECT_EQ(sizes[0], (RECT{90, 80, 500, 400}));
    RECT rect;
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect, (RECT{100, 100, 500, 400}));
}

} // namespace
