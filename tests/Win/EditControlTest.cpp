#include "WinTestSupport.h"

#include "Platform/Controls/ControlMessages.h"
#include "Platform/Gdi/Gdi.h"
#include "Platform/Win/Input.h"
#include "Platform/Win/Painting.h"
#include "Platform/Win/Reflection.h"

using namespace WinTest;

namespace {

class EditControlTest : public WindowTest {
protected:
    HWND Edit(std::uint32_t style = 0, const wchar_t* text = L"")
    {
        parent = TopLevel(0, 0, 300, 100);
        HWND edit = CreateWindowExW(0, L"EDIT", text, WS_CHILD | WS_VISIBLE | style, 10, 10, 200, 24, parent,
                                    reinterpret_cast<HMENU>(7), nullptr, nullptr);
        SetFocus(edit);
        PumpPending();
        Log().log.clear();
        return edit;
    }

    std::vector<WORD> Notifications() const
    {
        std::vector<WORD> codes;
        for (const Received& received : Recorder::Instance().Of(WM_COMMAND)) {
            EXPECT_EQ(LOWORD(received.wParam), 7);
            codes.push_back(HIWORD(received.wParam));
        }
        return codes;
    }

    void Type(const std::wstring& text)
    {
        CurrentBackend().InjectText(text);
        PumpPending();
    }

    void Press(UINT key, bool shift = false)
    {
        if (shift)
            CurrentBackend().InjectKey(VK_SHIFT, true);
        CurrentBackend().InjectKey(key, true);
        CurrentBackend().InjectKey(key, false);
        if (shift)
            CurrentBackend().InjectKey(VK_SHIFT, false);
        PumpPending();
    }

    static std::pair<int, int> Selection(HWND edit)
    {
        DWORD start = 0, end = 0;
        SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return {static_cast<int>(start), static_cast<int>(end)};
    }

    HWND parent = nullptr;
};

TEST_F(EditControlTest, TypingInsertsAtTheCaretAndNotifiesEachChange)
{
    HWND edit = Edit();
    Type(L"图片ab");
    EXPECT_EQ(GetWindowTextW(edit), L"图片ab");
    EXPECT_EQ(Notifications(), (std::vector<WORD>{EN_CHANGE, EN_CHANGE, EN_CHANGE, EN_CHANGE}));
    Press(VK_LEFT);
    Press(VK_BACK);
    Type(L"X");
    EXPECT_EQ(GetWindowTextW(edit), L"图片Xb");
    Press(VK_DELETE);
    EXPECT_EQ(GetWindowTextW(edit), L"图片X");
}

TEST_F(EditControlTest, NumberBoxesRefuseLettersAndReadOnlyBoxesRefuseEverything)
{
    HWND number = Edit(ES_NUMBER);
    Type(L"1a2");
    CurrentBackend().InjectKey('B', true);
    CurrentBackend().InjectKey('B', false);
    PumpPending();
    EXPECT_EQ(GetWindowTextW(number), L"12");
    DestroyWindow(number);

    HWND readOnly = Edit(ES_READONLY, L"fixed");
    Type(L"x");
    Press(VK_DELETE);
    EXPECT_EQ(GetWindowTextW(readOnly), L"fixed");
    EXPECT_TRUE(Notifications().empty());
}

TEST_F(EditControlTest, SelectionIsReplacedByTypingAndExtendedWithShift)
{
    HWND edit = Edit(0, L"hello");
    SendMessageW(edit, EM_SETSEL, 0, -1);
    EXPECT_EQ(Selection(edit), (std::pair<int, int>{0, 5}));
    Type(L"w");
    EXPECT_EQ(GetWindowTextW(edit), L"w");
    Type(L"orld");
    Press(VK_LEFT, true);
    Press(VK_LEFT, true);
    EXPECT_EQ(Selection(edit), (std::pair<int, int>{3, 5}));
    Press(VK_BACK);
    EXPECT_EQ(GetWindowTextW(edit), L"wor");
    SendMessageW(edit, EM_SETSEL, 1, 2);
    SendMessageW(edit, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(L"OO"));
    EXPECT_EQ(GetWindowTextW(edit), L"wOOr");
}

TEST_F(EditControlTest, TheTextLimitCutsTypingAndSettingTextNotifiesOnce)
{
    HWND edit = Edit();
    SendMessageW(edit, EM_LIMITTEXT, 3, 0);
    Type(L"12345");
    EXPECT_EQ(GetWindowTextW(edit), L"123");
    Log().log.clear();
    SetWindowTextW(edit, L"a longer text than the limit");
    EXPECT_EQ(GetWindowTextW(edit), L"a longer text than the limit");
    EXPECT_EQ(Notifications(), std::vector<WORD>{EN_CHANGE});
}

TEST_F(EditControlTest, LosingTheFocusNotifiesTheParent)
{
    HWND edit = Edit();
    SetFocus(parent);
    EXPECT_EQ(Notifications(), std::vector<WORD>{EN_KILLFOCUS});
    Click(50, 20);
    PumpPending();
    EXPECT_EQ(GetFocus(), edit);
}

TEST_F(EditControlTest, ASuperclassHandlesItsKeysFirstAndReflectedNotificationsReachIt)
{
    static WNDPROC base = GetClassProcedure(L"EDIT");
    static std::vector<UINT> seen;
    seen.clear();
    WNDCLASSW windowClass;
    windowClass.lpszClassName = L"NumberBox";
    windowClass.lpfnWndProc = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_KEYDOWN && wParam == VK_UP) {
            seen.push_back(VK_UP);
            return 0;
        }
        if (message == OCM_BASE + WM_COMMAND)
            seen.push_back(HIWORD(wParam));
        return CallWindowProcW(base, window, message, wParam, lParam);
    };
    RegisterClassW(&windowClass);
    parent = TopLevel(0, 0, 300, 100);
    Log().hook = [&](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
        return hwnd == parent && ReflectNotification(hwnd, message, wParam, lParam, result);
    };
    HWND box = CreateWindowExW(0, L"NumberBox", L"", WS_CHILD | WS_VISIBLE | ES_NUMBER, 0, 0, 100, 20, parent, nullptr,
                               nullptr, nullptr);
    SetFocus(box);
    Type(L"4");
    Press(VK_UP);
    EXPECT_EQ(GetWindowTextW(box), L"4");
    EXPECT_EQ(seen, (std::vector<UINT>{EN_SETFOCUS, EN_CHANGE, VK_UP}));
}

TEST_F(EditControlTest, PaintingUsesTheParentsBrushAndDrawsTheText)
{
    HWND edit = Edit(0, L"");
    static HBRUSH brush = CreateSolidBrush(RGB(0xEE, 0xEE, 0x00));
    Log().hook = [](HWND, UINT message, WPARAM, LPARAM, LRESULT& result) {
        if (message != WM_CTLCOLOREDIT)
            return false;
        result = reinterpret_cast<LRESULT>(brush);
        return true;
    };
    SetWindowTextW(edit, L"文字");
    PumpPending();
    HDC dc = GetDC(edit);
    EXPECT_EQ(GetPixel(dc, 190, 20), RGB(0xEE, 0xEE, 0x00));
    int ink = 0;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 40; ++x)
            ink += GetPixel(dc, x, y) != RGB(0xEE, 0xEE, 0x00);
    EXPECT_GT(ink, 20);
    ReleaseDC(edit, dc);
}

} // namespace
