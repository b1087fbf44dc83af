#pragma once
// A form for tests: a plain top-level window at (200, 150), 300 x 200, whose messages
// go to an ExtForm with one button at (100, 100), 72 x 25; visible windows that do
// nothing of their own; and pumping what is queued.

#include "UI/Controls/Button.h"
#include "UI/ExtForm.h"

#include "Platform/Win/MessageLoop.h"
#include "Platform/Win/Window.h"
#include "Platform/Win/WinConstants.h"
#include "Platform/Win/WindowGeometry.h"

#include <gtest/gtest.h>

namespace UITest {

inline void Pump()
{
    Platform::MSG message;
    while (Platform::PeekMessageW(&message, nullptr, 0, 0, Platform::PM_REMOVE))
        Platform::DispatchMessageW(&message);
}

// A visible popup of a class (registered on first use) with the default procedure.
inline Platform::HWND CreatePlainWindow(const wchar_t* className, int x, int y, int width, int height)
{
    using namespace Platform;
    WNDCLASSW windowClass;
    windowClass.lpfnWndProc = &DefWindowProcW;
    windowClass.lpszClassName = className;
    // Fails, harmlessly, when the class is there already.
    RegisterClassW(&windowClass);
    return CreateWindowExW(0, className, L"", WS_POPUP | WS_VISIBLE, x, y, width, height, nullptr, nullptr, nullptr,
                           nullptr);
}

struct TestForm : ExtForm {
    static Platform::LRESULT Proc(Platform::HWND window, Platform::UINT message, Platform::WPARAM wParam,
                                  Platform::LPARAM lParam)
    {
        auto* form = reinterpret_cast<TestForm*>(Platform::GetWindowLongPtrW(window, Platform::GWLP_USERDATA));
        Platform::LRESULT result = 0;
        if (form && form->ProcessWindowMessage(window, message, wParam, lParam, result))
            return result;
        return Platform::DefWindowProcW(window, message, wParam, lParam);
    }

    TestForm()
    {
        using namespace Platform;
        static const bool registered = [] {
            WNDCLASSW windowClass;
            windowClass.lpfnWndProc = &Proc;
            windowClass.lpszClassName = L"TestExtForm";
            return RegisterClassW(&windowClass) != 0;
        }();
        EXPECT_TRUE(registered);
        window =
            CreateWindowExW(0, L"TestExtForm", L"", WS_POPUP, 200, 150, 300, 200, nullptr, nullptr, nullptr, nullptr);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        AttachWindow(window, 0, 0, 300, 200);
        button.SetMargins(100, 100, 0, 0);
        button.SetSize(72, 25);
        button.Create(this, L"按钮");
        ShowWindow(window, SW_SHOW);
        SendMessageW(window, WM_SIZE, 0, MAKELPARAM(300, 200));
        Pump();
    }
    ~TestForm() override { Platform::DestroyWindow(window); }

    void OnPaint(Zivoro::UI::CPaintEventArgs* args) override
    {
        ExtForm::OnPaint(args);
        ControlBase::OnPaint(args);
    }

    Platform::RECT WindowRect() const
    {
        Platform::RECT rect;
        Platform::GetWindowRect(window, &rect);
        return rect;
    }

    Platform::HWND window;
    Zivoro::UI::Controls::Button button;
};

} // namespace UITest
