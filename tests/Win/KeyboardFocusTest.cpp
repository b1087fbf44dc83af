#include "WinTestSupport.h"

#include "Platform/Win/Input.h"

using namespace WinTest;

namespace {

class KeyboardFocusTest : public WindowTest {};

TEST_F(KeyboardFocusTest, SetFocusSendsKillFocusThenSetFocusAndActivatesTheTopLevelWindow)
{
    HWND first = TopLevel(0, 0, 100, 100);
    HWND second = TopLevel(200, 0, 100, 100);
    HWND child = Child(second, 0, 0, 50, 50);
    SetFocus(first);
    Log().log.clear();
    EXPECT_EQ(SetFocus(child), first);
    ASSERT_GE(Log().log.size(), 2u);
    const auto kill = Log().Of(WM_KILLFOCUS);
    const auto set = Log().Of(WM_SETFOCUS);
    ASSERT_EQ(kill.size(), 1u);
    ASSERT_EQ(set.size(), 1u);
    EXPECT_EQ(kill[0].window, first);
    EXPECT_EQ(reinterpret_cast<HWND>(kill[0].wParam), child);
    EXPECT_EQ(set[0].window, child);
    EXPECT_EQ(GetFocus(), child);
    EXPECT_EQ(GetActiveWindow(), second);
}

TEST_F(KeyboardFocusTest, KeysAndCharactersGoToTheFocusWindowWithKeyState)
{
    HWND parent = TopLevel(0, 0, 100, 100);
    HWND child = Child(parent, 0, 0, 50, 50);
    SetFocus(child);
    PumpPending();
    Log().log.clear();
    Backend& backend = CurrentBackend();
    backend.InjectKey(VK_SHIFT, true);
    backend.InjectKey('A', true);
    backend.InjectKey('A', false);
    backend.InjectKey(VK_SHIFT, false);
    backend.InjectKey('B', true);
    backend.InjectKey(VK_RETURN, true);
    PumpPending();
    const auto chars = Log().Of(WM_CHAR);
    ASSERT_EQ(chars.size(), 3u);
    EXPECT_EQ(chars[0].wParam, static_cast<WPARAM>(L'A'));
    EXPECT_EQ(chars[1].wParam, static_cast<WPARAM>(L'b'));
    EXPECT_EQ(chars[2].wParam, static_cast<WPARAM>(L'\r'));
    for (const Received& received : Log().log) {
        if (received.message == WM_KEYDOWN || received.message == WM_CHAR) {
            EXPECT_EQ(received.window, child);
        }
    }
    EXPECT_TRUE(GetKeyState('B') & 0x8000);
    EXPECT_FALSE(GetKeyState(VK_SHIFT) & 0x8000);
    backend.InjectKey('B', false);
    backend.InjectKey(VK_RETURN, false);
    PumpPending();
    EXPECT_FALSE(GetKeyState('B') & 0x8000);
}

TEST_F(KeyboardFocusTest, CommittedTextArrivesAsOneCharacterMessageEach)
{
    HWND window = TopLevel(0, 0, 100, 100);
    SetFocus(window);
    Log().log.clear();
    CurrentBackend().InjectText(L"中文a");
    PumpPending();
    const auto chars = Log().Of(WM_CHAR);
    ASSERT_EQ(chars.size(), 3u);
    EXPECT_EQ(chars[0].wParam, static_cast<WPARAM>(L'中'));
    EXPECT_EQ(chars[1].wParam, static_cast<WPARAM>(L'文'));
    EXPECT_EQ(chars[2].wParam, static_cast<WPARAM>(L'a'));
    EXPECT_TRUE(Log().Of(WM_KEYDOWN).empty());
}

TEST_F(KeyboardFocusTest, LosingFocusToTheOutsideSendsKillFocus)
{
    HWND window = TopLevel(0, 0, 100, 100);
    SetFocus(window);
    Log().log.clear();
    CurrentBackend().InjectFocusLoss();
    PumpPending();
    EXPECT_EQ(Log().MessagesOf(window, {WM_KILLFOCUS}).size(), 1u);
    EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(KeyboardFocusTest, DestroyingTheFocusWindowMovesTheFocusToItsParent)
{
    HWND parent = TopLevel(0, 0, 100, 100);
    HWND child = Child(parent, 0, 0, 10, 10);
    SetFocus(child);
    DestroyWindow(child);
    EXPECT_EQ(GetFocus(), parent);
    EXPECT_EQ(SetFocus(child), nullptr);
    EXPECT_EQ(GetFocus(), parent);
}

} // namespace
