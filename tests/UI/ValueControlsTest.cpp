#include "UI/ComboBox.h"
#include "UI/NumberField.h"
#include "UI/TextEditor.h"
#include "UI/TrackBar.h"

#include "Platform/Controls/ControlMessages.h"
#include "Platform/Gdi/Gdi.h"
#include "Platform/Win/Backend.h"
#include "Platform/Win/Input.h"
#include "Platform/Win/MessageLoop.h"
#include "Platform/Win/Painting.h"
#include "Platform/Win/Reflection.h"
#include "Platform/Win/Window.h"
#include "Platform/Win/WinConstants.h"

#include <gtest/gtest.h>

using namespace Platform;

namespace {

void Pump()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// A top-level window that reflects its children's notifications, with a root control.
class ValueControls : public ::testing::Test {
protected:
    static LRESULT Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        LRESULT result = 0;
        if (ReflectNotification(window, message, wParam, lParam, result))
            return result;
        return DefWindowProcW(window, message, wParam, lParam);
    }

    void SetUp() override
    {
        static const bool registered = [] {
            WNDCLASSW windowClass;
            windowClass.lpfnWndProc = &Proc;
            windowClass.lpszClassName = L"ValueControlsTest";
            return RegisterClassW(&windowClass) != 0;
        }();
        ASSERT_TRUE(registered);
        window = CreateWindowExW(0, L"ValueControlsTest", L"", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr,
                                 nullptr, nullptr);
        root.hwnd = window;
        root.bounds = RECT{0, 0, 400, 300};
        Pump();
    }
    void TearDown() override { DestroyWindow(window); }

    static void Drag(TrackBar& slider, int from, int to)
    {
        SendMessageW(slider.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from, 5));
        SendMessageW(slider.hwnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to, 5));
        SendMessageW(slider.hwnd, WM_LBUTTONUP, 0, MAKELPARAM(to, 5));
    }

    HWND window = nullptr;
    ControlBase root;
};

} // namespace

TEST_F(ValueControls, SliderThumbFollowsTheValueAndTheDragRaisesTheValue)
{
    ExtTrackBar slider;
    ASSERT_NE(slider.Create(window, RECT{10, 10, 122, 0}), nullptr);
    EXPECT_EQ(slider.bounds, (RECT{0, 0, 122, 15}));
    slider.SetRange(-100, 100);
    slider.SetValue(0);
    EXPECT_EQ(slider.thumbX, 54);

    std::vector<int> values;
    slider.valueChanged.connect([&](int value) { values.push_back(value); });
    Drag(slider, 60, 1000);
    Drag(slider, 60, -1000);
    EXPECT_EQ(values, (std::vector<int>{100, -100}));
    EXPECT_EQ(slider.thumbX, 0);
    EXPECT_EQ(GetCapture(), nullptr);

    slider.SetRange(0, 100);
    slider.SetValue(100);
    EXPECT_EQ(slider.thumbX, 108);

    // A press away from the thumb, released without moving, changes nothing.
    SendMessageW(slider.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 5));
    SendMessageW(slider.hwnd, WM_LBUTTONUP, 0, MAKELPARAM(10, 5));
    EXPECT_EQ(slider.thumbX, 108);
    EXPECT_EQ(values.size(), 2u);
}

TEST_F(ValueControls, SliderKeepsItsValueThroughAResizeAndPaintsItsThumb)
{
    ExtTrackBar slider;
    slider.Create(window);
    slider.parent = &root;
    slider.SetMargins(10, 20, 0, 0);
    slider.SetSize(122, 15);
    slider.UpdateLayout();
    slider.SetRange(0, 100);
    slider.SetValue(50);
    slider.SetSize(222, 15);
    slider.UpdateLayout();
    EXPECT_NEAR(slider.ValueAt(slider.thumbX), 50, 1);
    EXPECT_EQ(slider.bounds, (RECT{0, 0, 222, 15}));
    RECT placed;
    GetWindowRect(slider.hwnd, &placed);
    EXPECT_EQ(placed.right - placed.left, 222);

    slider.SetVisible(1);
    UpdateWindow(slider.hwnd);
    HDC dc = GetDC(slider.hwnd);
    EXPECT_EQ(GetPixel(dc, slider.thumbX, 0), static_cast<COLORREF>(0xE6B08D));
    EXPECT_EQ(GetPixel(dc, slider.thumbX + 5, 7), static_cast<COLORREF>(0xFFFBEC));
    EXPECT_EQ(GetPixel(dc, slider.thumbX + 20, 1), static_cast<COLORREF>(0xE4D4C6));
    ReleaseDC(slider.hwnd, dc);
}

TEST_F(ValueControls, EditorTakesDigitsOnlyAndRaisesItsKeySignals)
{
    Editor editor;
    editor.SetMargins(10, 50, 0, 0);
    editor.SetSize(60, 22);
    editor.Attach(&root);
    root.LayoutChildren();
    int enter = 0, ctrlEnter = 0, up = 0, changes = 0, focus = 0;
    editor.enterPressed.connect([&] { ++enter; });
    editor.ctrlEnterPressed.connect([&] { ++ctrlEnter; });
    editor.upPressed.connect([&] { ++up; });
    editor.textChanged.connect([&] { ++changes; });
    editor.focused.connect([&] { ++focus; });

    SetFocus(editor.hwnd);
    Pump();
    EXPECT_EQ(focus, 1);
    CurrentBackend().InjectText(L"12a3");
    Pump();
    EXPECT_EQ(GetWindowTextW(editor.hwnd), L"123");
    EXPECT_EQ(editor.GetInt(), 123);
    EXPECT_GE(changes, 3);

    DWORD before = static_cast<DWORD>(SendMessageW(editor.hwnd, EM_GETSEL, 0, 0));
    CurrentBackend().InjectKey(VK_UP, true);
    CurrentBackend().InjectKey(VK_UP, false);
    Pump();
    EXPECT_EQ(up, 1);
    EXPECT_EQ(static_cast<DWORD>(SendMessageW(editor.hwnd, EM_GETSEL, 0, 0)), before);

    CurrentBackend().InjectKey(VK_LCONTROL, true);
    CurrentBackend().InjectKey(VK_RETURN, true);
    CurrentBackend().InjectKey(VK_RETURN, false);
    CurrentBackend().InjectKey(VK_LCONTROL, false);
    Pump();
    EXPECT_EQ(ctrlEnter, 1);
    EXPECT_EQ(enter, 0);
    CurrentBackend().InjectKey(VK_RETURN, true);
    CurrentBackend().InjectKey(VK_RETURN, false);
    Pump();
    EXPECT_EQ(enter, 1);

    editor.SetInt(-42);
    EXPECT_EQ(editor.GetInt(), -42);
    SetWindowTextW(editor.hwnd, L"abc");
    EXPECT_EQ(editor.GetInt(), 0);
}

TEST_F(ValueControls, EditorDrawsAFlatOnePixelBorder)
{
    Editor editor;
    editor.Create(window, RECT{10, 100, 60, 22});
    RECT client;
    GetClientRect(editor.hwnd, &client);
    EXPECT_EQ(client.right, 58);
    EXPECT_EQ(client.bottom, 20);
    UpdateWindow(editor.hwnd);
    HDC dc = GetWindowDC(editor.hwnd);
    EXPECT_EQ(GetPixel(dc, 0, 0), static_cast<COLORREF>(0xC8B8B5));
    EXPECT_EQ(GetPixel(dc, 59, 21), static_cast<COLORREF>(0xC8B8B5));
    ReleaseDC(editor.hwnd, dc);
}

TEST_F(ValueControls, ComboBoxRaisesTheChosenIndex)
{
    ComboBox combo;
    combo.SetMargins(10, 150, 0, 0);
    combo.SetSize(86, 70);
    combo.Attach(&root);
    root.LayoutChildren();
    for (const wchar_t* item : {L"JPG", L"PNG", L"BMP"})
        SendMessageW(combo.hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    SendMessageW(combo.hwnd, CB_SETCURSEL, 0, 0);
    std::vector<int> chosen;
    combo.selectionChanged.connect([&](int index) { chosen.push_back(index); });
    SetFocus(combo.hwnd);
    CurrentBackend().InjectKey(VK_DOWN, true);
    CurrentBackend().InjectKey(VK_DOWN, false);
    Pump();
    EXPECT_EQ(chosen, (std::vector<int>{1}));
    EXPECT_EQ(combo.bounds, (RECT{10, 150, 96, 220}));
    // The window is one field high; the rest of the laid-out height is the list's room.
    RECT field;
    GetWindowRect(combo.hwnd, &field);
    EXPECT_EQ(field.right - field.left, 86);
    EXPECT_LT(field.bottom - field.top, 30);
    combo.DestroyWindows();
    EXPECT_EQ(combo.hwnd, nullptr);
}

TEST_F(ValueControls, TextEditorShowsOverTheRectangleWithCentredText)
{
    TextEditor editor;
    ASSERT_NE(editor.Create(window), nullptr);
    EXPECT_FALSE(IsWindowVisible(editor.Window()));
    editor.ShowAt(RECT{20, 200, 140, 224});
    EXPECT_TRUE(IsWindowVisible(editor.Window()));
    RECT rect;
    GetWindowRect(editor.Window(), &rect);
    EXPECT_EQ(rect.right - rect.left, 120);
    EXPECT_EQ(rect.bottom - rect.top, 24);
}

// Each box draws with a font of its own and releases it with its window.
TEST_F(ValueControls, BoxesOwnTheirFontForTheirWindowsLife)
{
    FontInfo info;
    HWND editorWindow, comboWindow, textWindow;
    HFONT editorFont, comboFont, textFont;
    {
        Editor editor;
        ComboBox combo;
        TextEditor text;
        editorWindow = editor.Create(window);
        comboWindow = combo.Create(window);
        textWindow = text.Create(window);
        editorFont = editor.font, comboFont = combo.font, textFont = text.font;
        EXPECT_NE(editorFont, comboFont);
        EXPECT_NE(comboFont, textFont);
        for (auto [box, font] :
             {std::pair{editorWindow, editorFont}, {comboWindow, comboFont}, {textWindow, textFont}}) {
            EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(box, WM_GETFONT, 0, 0)), font);
            EXPECT_TRUE(GetFontInfo(font, info));
        }
    }
    for (auto [box, font] : {std::pair{editorWindow, editorFont}, {comboWindow, comboFont}, {textWindow, textFont}}) {
        EXPECT_FALSE(IsWindow(box));
        EXPECT_FALSE(GetFontInfo(font, info));
    }
}
