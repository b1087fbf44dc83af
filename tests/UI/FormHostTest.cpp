#include "TestControls.h"

#include "Platform/Gdiplus/Graphics.h"
#include "Platform/Win/HeadlessBackend.h"
#include "Platform/Win/Input.h"
#include "Platform/Win/MessageLoop.h"
#include "Platform/Win/Painting.h"
#include "Platform/Win/Window.h"
#include "UI/FormHost.h"
#include "UI/HostPainting.h"

#include <gtest/gtest.h>

using namespace UITest;
using Zivoro::UI::FormHost;

namespace {

class Drag : public FormHost::DragHook {
public:
    bool BeginDrag(POINT pt) override
    {
        if (!enabled)
            return false;
        dragging = true;
        moves.push_back(pt);
        return true;
    }
    bool IsDragging() const override { return dragging; }
    void DragTo(POINT pt) override { moves.push_back(pt); }
    void EndDrag() override { dragging = false; }

    bool enabled = true;
    bool dragging = false;
    std::vector<POINT> moves;
};

// A form: a top-level window whose root control owns two buttons.
struct Form {
    static Form*& Current()
    {
        static Form* current = nullptr;
        return current;
    }

    static LRESULT Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        Form* form = Current();
        if (form && form->host.RouteMouse(window, message, wParam, lParam))
            return 0;
        if (form && message == WM_PAINT) {
            Zivoro::UI::PaintFormTree(form->root, window, form->backBuffer);
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    Form() : host(root, &drag)
    {
        Current() = this;
        static const bool registered = [] {
            WNDCLASSW windowClass;
            windowClass.lpfnWndProc = &Proc;
            windowClass.lpszClassName = L"UiFormHostTest";
            return RegisterClassW(&windowClass) != 0;
        }();
        EXPECT_TRUE(registered);
        window = CreateWindowExW(0, L"UiFormHostTest", L"", WS_POPUP | WS_VISIBLE, 100, 100, 200, 100, nullptr, nullptr,
                                 nullptr, nullptr);
        root.hwnd = window;
        button.SetMargins(10, 10, 0, 0);
        button.SetSize(50, 20);
        button.Attach(&root);
        other.SetMargins(100, 10, 0, 0);
        other.SetSize(50, 20);
        other.Attach(&root);
        host.Resize(200, 100);
        HDC dc = GetDC(window);
        backBuffer = CreateCompatibleBitmap(dc, 200, 100);
        ReleaseDC(window, dc);
        Pump();
    }

    ~Form()
    {
        DestroyWindow(window);
        DeleteObject(backBuffer);
        Current() = nullptr;
    }

    static void Pump()
    {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
    }

    void Mouse(Backend::MouseAction action, int x, int y)
    {
        CurrentBackend().InjectMouse(action, POINT{100 + x, 100 + y});
    }

    ControlBase root;
    PressControl button{"button"};
    PressControl other{"other", RGB(0, 0, 255)};
    Drag drag;
    FormHost host;
    HWND window = nullptr;
    HBITMAP backBuffer = nullptr;
};

TEST(FormHostTest, TheControlThatTookThePressGetsTheMovesAndTheReleaseAlone)
{
    Form form;
    form.Mouse(Backend::MouseAction::LeftDown, 20, 15);
    Form::Pump();
    EXPECT_EQ(form.host.Captured(), &form.button);
    EXPECT_EQ(GetCapture(), form.window);
    form.button.events.clear();
    form.other.events.clear();
    form.Mouse(Backend::MouseAction::Move, 120, 15);
    form.Mouse(Backend::MouseAction::LeftUp, 30, 15);
    Form::Pump();
    EXPECT_EQ(form.button.events, (std::vector<std::string>{"move", "clicked"}));
    EXPECT_TRUE(form.other.events.empty());
    EXPECT_EQ(form.host.Captured(), nullptr);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_TRUE(form.drag.moves.empty());
}

TEST(FormHostTest, APressNoControlTakesDragsTheWindowAndNoControlSeesTheRelease)
{
    Form form;
    form.Mouse(Backend::MouseAction::LeftDown, 80, 60);
    form.Mouse(Backend::MouseAction::Move, 110, 50);
    form.Mouse(Backend::MouseAction::LeftUp, 110, 50);
    Form::Pump();
    ASSERT_EQ(form.drag.moves.size(), 2u);
    EXPECT_EQ(form.drag.moves[1], (POINT{110, 50}));
    EXPECT_FALSE(form.drag.dragging);
    for (const std::string& event : form.button.events)
        EXPECT_NE(event, "clicked");
    EXPECT_EQ(form.button.clicks + form.other.clicks, 0);
}

TEST(FormHostTest, LeaveTrackingIsRequestedOnceAndLeavingClearsHover)
{
    Form form;
    form.Mouse(Backend::MouseAction::Move, 20, 15);
    Form::Pump();
    EXPECT_TRUE(form.host.TrackingRequested());
    EXPECT_TRUE(form.button.state & StateHover);
    form.Mouse(Backend::MouseAction::Move, 500, 500);
    Form::Pump();
    EXPECT_FALSE(form.host.TrackingRequested());
    EXPECT_FALSE(form.button.state & StateHover);
}

TEST(FormHostTest, ThePaintGoesThroughTheBackBufferToTheWindow)
{
    Form form;
    InvalidateRect(form.window, nullptr, FALSE);
    Form::Pump();
    HDC dc = GetDC(form.window);
    EXPECT_EQ(GetPixel(dc, 10, 10), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, 149, 29), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(dc, 150, 29), RGB(0, 0, 0));
    ReleaseDC(form.window, dc);
}

TEST(ControlWindowHostTest, PressesAndMovesGoToTheRootWithKeysOneAndNoCapture)
{
    ControlBase root;
    PressControl button("button");
    button.Attach(&root);
    button.bounds = RECT{0, 0, 10, 10};
    Zivoro::UI::ControlWindowMouse mouse(root);
    EXPECT_TRUE(mouse.Route(nullptr, WM_LBUTTONDOWN, MAKELPARAM(5, 5)));
    EXPECT_TRUE(mouse.Route(nullptr, WM_LBUTTONUP, MAKELPARAM(5, 5)));
    EXPECT_FALSE(mouse.Route(nullptr, WM_RBUTTONDOWN, MAKELPARAM(5, 5)));
    EXPECT_EQ(button.clicks, 1);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST(ControlWindowHostTest, PaintingLandsClientCoordinatesInTheDrawingRectangle)
{
    ControlBase root;
    PressControl button("button", RGB(0, 255, 0));
    button.Attach(&root);
    button.bounds = RECT{20, 20, 30, 30};
    HDC target = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(target, 50, 50);
    HGDIOBJ previous = SelectObject(target, bitmap);
    Zivoro::UI::PaintControlWindowTree(root, target, RECT{15, 15, 40, 40});
    EXPECT_EQ(GetPixel(target, 20, 20), RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(target, 29, 29), RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(target, 30, 30), RGB(0, 0, 0));
    SelectObject(target, previous);
    DeleteObject(bitmap);
    DeleteDC(target);
}

} // namespace
