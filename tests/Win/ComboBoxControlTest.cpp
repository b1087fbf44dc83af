#include "WinTestSupport.h"

#include "Platform/Controls/ControlMessages.h"
#include "Platform/Win/Input.h"

using namespace WinTest;

namespace {

class ComboBoxControlTest : public WindowTest {
protected:
    // A 120 x 24 drop-down list at (10, 10) in a window at the screen's origin, with
    // "JPG", "PNG" and "BMP", the first selected.
    HWND Combo()
    {
        parent = TopLevel(0, 0, 300, 300);
        HWND combo = CreateWindowExW(0, L"COMBOBOX", L"", 0x50200003, 10, 10, 120, 24, parent,
                                     reinterpret_cast<HMENU>(9), nullptr, nullptr);
        SendMessageW(combo, CB_SETMINVISIBLE, 6, 0);
        for (const wchar_t* item : {L"JPG", L"PNG", L"BMP"})
            SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        SendMessageW(combo, CB_SETCURSEL, 0, 0);
        PumpPending();
        Log().log.clear();
        return combo;
    }

    std::vector<WORD> Notifications() const
    {
        std::vector<WORD> codes;
        for (const Received& received : Recorder::Instance().Of(WM_COMMAND))
            codes.push_back(HIWORD(received.wParam));
        return codes;
    }

    HWND parent = nullptr;
};

TEST_F(ComboBoxControlTest, ItemsAndTheSelectionAreSetAndReadByMessages)
{
    HWND combo = Combo();
    EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(SendMessageW(combo, CB_SETCURSEL, 2, 0), 2);
    EXPECT_EQ(SendMessageW(combo, CB_SETCURSEL, 5, 0), CB_ERR);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), -1);
    wchar_t text[8] = {};
    EXPECT_EQ(SendMessageW(combo, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(text)), 3);
    EXPECT_EQ(std::wstring(text), L"PNG");
    // Setting the selection by message tells the parent nothing.
    EXPECT_TRUE(Notifications().empty());
}

TEST_F(ComboBoxControlTest, ClickingAnItemOfTheOpenListChoosesItAndNotifies)
{
    HWND combo = Combo();
    Click(50, 20);
    PumpPending();
    ASSERT_TRUE(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0));
    RECT box;
    GetWindowRect(combo, &box);
    // The list opens under the box; its second row is PNG.
    HWND list = WindowFromPoint(POINT{40, box.bottom + 2});
    RECT listRect{};
    ASSERT_NE(list, nullptr);
    GetWindowRect(list, &listRect);
    const int itemHeight = (listRect.bottom - listRect.top - 2) / 3;
    Click(40, listRect.top + 1 + itemHeight + itemHeight / 2);
    PumpPending();
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 1);
    EXPECT_FALSE(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(Notifications(), (std::vector<WORD>{CBN_DROPDOWN, CBN_CLOSEUP, CBN_SELCHANGE}));
    EXPECT_FALSE(IsWindow(list));
}

TEST_F(ComboBoxControlTest, APressOutsideTheOpenListClosesItWithoutChoosing)
{
    HWND combo = Combo();
    Click(50, 20);
    Click(250, 250);
    PumpPending();
    EXPECT_FALSE(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(Notifications(), (std::vector<WORD>{CBN_DROPDOWN, CBN_CLOSEUP}));
}

TEST_F(ComboBoxControlTest, ArrowKeysChangeTheSelectionAndEnterChoosesInTheOpenList)
{
    HWND combo = Combo();
    SetFocus(combo);
    Log().log.clear();
    CurrentBackend().InjectKey(VK_DOWN, true);
    CurrentBackend().InjectKey(VK_DOWN, false);
    PumpPending();
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(Notifications(), std::vector<WORD>{CBN_SELCHANGE});

    SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
    Log().log.clear();
    for (UINT key : {VK_DOWN, VK_RETURN}) {
        CurrentBackend().InjectKey(key, true);
        CurrentBackend().InjectKey(key, false);
    }
    PumpPending();
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(Notifications(), (std::vector<WORD>{CBN_CLOSEUP, CBN_SELCHANGE}));
}

} // namespace
