#include "Imaging/ImageLister.h"
#include "Imaging/RasterImage.h"
#include "UI/Controls/Button.h"
#include "UI/Controls/CheckBox.h"
#include "UI/Controls/IconLabel.h"
#include "UI/EventArgs.h"
#include "UI/Label.h"
#include "UI/Skin.h"
#include "UI/UiDrawing.h"
#include "UI/UiFontSet.h"

#include "Platform/Gdi/Gdi.h"
#include "support/TestCanvas.h"
#include "Platform/Win/Painting.h"
#include "Platform/Win/Window.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace Platform;
using namespace Zivoro::UI;
using namespace Zivoro::UI::Controls;

namespace {

// A white canvas as large as the test window.
class Canvas : public TestSupport::TestCanvas {
public:
    Canvas() : TestCanvas(300, 100) {}
};

class BasicControls : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetUpSkin();
        static const bool registered = [] {
            WNDCLASSW windowClass;
            windowClass.lpfnWndProc = &DefWindowProcW;
            windowClass.lpszClassName = L"BasicControlsTest";
            return RegisterClassW(&windowClass) != 0;
        }();
        ASSERT_TRUE(registered);
        window =
            CreateWindowExW(0, L"BasicControlsTest", L"", WS_POPUP, 0, 0, 300, 100, nullptr, nullptr, nullptr, nullptr);
        root.hwnd = window;
        root.bounds = RECT{0, 0, 300, 100};
    }
    void TearDown() override { DestroyWindow(window); }

    static CMouseEventArgs Mouse(int x, int y)
    {
        CMouseEventArgs args;
        args.keys = 1;
        args.pt = POINT{x, y};
        return args;
    }
    template <class Control> void Press(Control& control, int x, int y)
    {
        CMouseEventArgs args = Mouse(x, y);
        control.OnMouseDown(&args);
    }
    template <class Control> void Release(Control& control, int x, int y)
    {
        CMouseEventArgs args = Mouse(x, y);
        control.OnMouseUp(&args);
    }
    static void Paint(ControlBase& control, Canvas& canvas)
    {
        CPaintEventArgs args;
        args.dc = canvas.dc;
        args.scratchDC = canvas.dc;
        control.OnPaint(&args);
    }
    static bool HasDarkPixels(const Canvas& canvas, const RECT& area, int below)
    {
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                if (GetRValue(GetPixel(canvas.dc, x, y)) < below)
                    return true;
        return false;
    }

    HWND window = nullptr;
    ControlBase root;
};

} // namespace

TEST_F(BasicControls, ButtonClicksOnlyWhenThePressEndsOnIt)
{
    Button button;
    button.SetMargins(10, 10, 0, 0);
    button.SetSize(72, 25);
    button.Create(&root, L"确定");
    root.LayoutChildren();
    int clicks = 0;
    button.clicked.connect([&] { ++clicks; });

    CMouseEventArgs down = Mouse(20, 20);
    button.OnMouseDown(&down);
    EXPECT_EQ(down.handled, 1);
    EXPECT_EQ(down.target, &button);
    Release(button, 200, 20);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(button.state, 0);

    Press(button, 20, 20);
    Release(button, 30, 30);
    EXPECT_EQ(clicks, 1);

    // The normal face is 72 x 25 like the button: a light blue frame with rounded
    // (transparent) corners around white, and the caption in dark text in its middle.
    Canvas drawn, white;
    Paint(button, drawn);
    const COLORREF frame = RGB(166, 197, 225);
    EXPECT_EQ(GetPixel(drawn.dc, 10, 22), frame);
    EXPECT_EQ(GetPixel(drawn.dc, 81, 22), frame);
    EXPECT_EQ(GetPixel(drawn.dc, 46, 10), frame);
    EXPECT_EQ(GetPixel(drawn.dc, 46, 34), frame);
    EXPECT_EQ(GetPixel(drawn.dc, 10, 10), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(drawn.dc, 13, 22), RGB(255, 255, 255));
    RECT ink{300, 100, 0, 0};
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 300; ++x)
            if (GetRValue(GetPixel(drawn.dc, x, y)) < 100)
                ink = RECT{std::min<int>(ink.left, x), std::min<int>(ink.top, y), std::max<int>(ink.right, x + 1),
                           std::max<int>(ink.bottom, y + 1)};
    ASSERT_LT(ink.left, ink.right) << "no caption drawn";
    EXPECT_GE(ink.right - ink.left, 16);
    EXPECT_NEAR((ink.left + ink.right) / 2.0, 46, 1.5);
    EXPECT_NEAR((ink.top + ink.bottom) / 2.0, 22.5, 1.5);
    EXPECT_TRUE(drawn.SameAs(white, RECT{82, 0, 300, 100}));
}

TEST_F(BasicControls, DisabledButtonShowsItsDisabledFaceAndIgnoresPresses)
{
    Button button;
    button.SetMargins(10, 10, 0, 0);
    button.SetSize(72, 25);
    button.Create(&root, L"");
    root.LayoutChildren();
    int clicks = 0;
    button.clicked.connect([&] { ++clicks; });
    button.SetDisabled(1);
    CMouseEventArgs down = Mouse(20, 20);
    button.OnMouseDown(&down);
    EXPECT_EQ(down.handled, 0);
    Release(button, 20, 20);
    EXPECT_EQ(clicks, 0);

    // The disabled face: a grey frame around light grey; the normal one: light blue
    // around white.
    Canvas drawn;
    Paint(button, drawn);
    EXPECT_EQ(GetPixel(drawn.dc, 10, 22), RGB(213, 213, 213));
    EXPECT_EQ(GetPixel(drawn.dc, 46, 10), RGB(213, 213, 213));
    EXPECT_EQ(GetPixel(drawn.dc, 46, 22), RGB(246, 246, 246));

    button.SetDisabled(0);
    Canvas enabled;
    Paint(button, enabled);
    EXPECT_EQ(GetPixel(enabled.dc, 10, 22), RGB(166, 197, 225));
    EXPECT_EQ(GetPixel(enabled.dc, 46, 22), RGB(255, 255, 255));

    // Hover shows the hover face; an empty image name shows no face at all.
    CMouseEventArgs move = Mouse(20, 20);
    button.OnMouseMove(&move);
    EXPECT_EQ(button.state, StateHover);
    button.SetImages("BtnNormal", "", "BtnDown", "BtnDisable");
    Canvas blank, white;
    Paint(button, blank);
    EXPECT_TRUE(blank.SameAs(white, button.bounds));
}

TEST_F(BasicControls, CheckBoxIsTheBoxAndTextWideAndToggleOnlyOnAReleaseInside)
{
    CheckBox box;
    box.SetMargins(5, 7, 0, 0);
    box.Create(&root, L"约束比例");
    root.LayoutChildren();
    HDC dc = GetDC(window);
    const SIZE text = MeasureText(dc, L"约束比例", 4, UiFontSet::Instance().font);
    ReleaseDC(window, dc);
    EXPECT_EQ(box.bounds.left, 5);
    EXPECT_EQ(box.bounds.top, 7);
    EXPECT_EQ(box.bounds.right - box.bounds.left, 15 + text.cx);
    EXPECT_EQ(box.bounds.bottom - box.bounds.top, 15);
    EXPECT_EQ(box.size.cx, text.cx);

    int changes = 0;
    box.changed.connect([&] { ++changes; });
    Press(box, 8, 10);
    Release(box, 250, 90);
    EXPECT_EQ(box.IsChecked(), 0);
    Press(box, 8, 10);
    Release(box, 9, 11);
    EXPECT_EQ(box.IsChecked(), 1);
    EXPECT_EQ(changes, 1);
    box.SetChecked(0);
    EXPECT_EQ(changes, 1);

    // The checked box: a blue square at the box's place, lighter in its middle.
    Canvas drawn;
    box.SetChecked(1);
    Paint(box, drawn);
    EXPECT_EQ(GetPixel(drawn.dc, 5, 14), RGB(47, 123, 200));
    EXPECT_EQ(GetPixel(drawn.dc, 19, 14), RGB(47, 123, 200));
    EXPECT_EQ(GetPixel(drawn.dc, 12, 14), RGB(105, 165, 226));
    EXPECT_EQ(GetPixel(drawn.dc, 4, 14), RGB(255, 255, 255));
}

TEST_F(BasicControls, LabelTakesTheSizeOfItsTextAndItsPlaceFromLayout)
{
    Label label;
    label.SetMargins(8, 39, 0, 0);
    label.Create(&root, L"请点击\"添加按钮\"，选择要上传的照片");
    HDC dc = GetDC(window);
    SIZE extent;
    GetTextExtentPoint32W(dc, label.text.c_str(), static_cast<int>(label.text.size()), &extent);
    ReleaseDC(window, dc);
    root.LayoutChildren();
    EXPECT_EQ(label.bounds.left, 8);
    EXPECT_EQ(label.bounds.top, 39);
    EXPECT_EQ(label.bounds.right, 8 + extent.cx);
    EXPECT_EQ(label.bounds.bottom, 39 + extent.cy);

    label.SetText(L"");
    EXPECT_EQ(label.bounds.right, label.bounds.left);
    label.visible = 0;
    label.SetText(L"看不见");
    Canvas drawn, white;
    Paint(label, drawn);
    EXPECT_TRUE(drawn.SameAs(white, RECT{0, 0, 300, 100}));
}

TEST_F(BasicControls, DisabledIconLabelIsGreyAndIgnoresClicks)
{
    IconLabel link;
    link.SetMargins(10, 7, 0, 0);
    link.Create(&root, L"删除", "Btn_Delete");
    root.LayoutChildren();
    HDC dc = GetDC(window);
    const SIZE text = MeasureText(dc, L"删除", 2, UiFontSet::Instance().font);
    ReleaseDC(window, dc);
    EXPECT_EQ(link.size.cx, text.cx + 16 + 5);

    ControlBase* clickedWith = nullptr;
    link.clicked.connect([&](ControlBase* sender) { clickedWith = sender; });
    link.SetDisabled(1);
    Press(link, 12, 10);
    Release(link, 12, 10);
    EXPECT_EQ(clickedWith, nullptr);

    Canvas drawn;
    Paint(link, drawn);
    for (int y = 7; y < 23; ++y)
        for (int x = 10; x < 26; ++x) {
            const COLORREF pixel = GetPixel(drawn.dc, x, y);
            ASSERT_TRUE(GetRValue(pixel) == GetGValue(pixel) && GetGValue(pixel) == GetBValue(pixel)) << x << "," << y;
        }
    EXPECT_FALSE(HasDarkPixels(drawn, RECT{31, 0, 300, 100}, 0xC1));
    EXPECT_TRUE(HasDarkPixels(drawn, RECT{31, 0, 300, 100}, 0xFF));

    link.SetDisabled(0);
    Press(link, 12, 10);
    Release(link, 12, 10);
    EXPECT_EQ(clickedWith, &link);
    Canvas enabled;
    Paint(link, enabled);
    EXPECT_TRUE(HasDarkPixels(enabled, RECT{31, 0, 300, 100}, 0x80));
}
