#pragma once
// A control activated in a container window on the test's thread, with a recorder
// as the page's function and a fresh configuration.

#include "Biz/AppConfig.h"
#include "Control/CTrellan.h"
#include "PageRecorder.h"
#include "Platform/Com/Bstr.h"
#include "Platform/Win/MessageLoop.h"
#include "Platform/Win/Window.h"

#include <gtest/gtest.h>

class ControlFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        AppConfig::Instance() = AppConfig();
        static const bool registered = [] {
            Platform::WNDCLASSW windowClass;
            windowClass.lpfnWndProc = &Platform::DefWindowProcW;
            windowClass.lpszClassName = L"TestContainer";
            return Platform::RegisterClassW(&windowClass) != 0;
        }();
        ASSERT_TRUE(registered);
        container = Platform::CreateWindowExW(0, L"TestContainer", L"", Platform::WS_POPUP, 0, 0, 800, 600, nullptr,
                                              nullptr, nullptr, nullptr);
        ASSERT_EQ(CTrellan::CreateInstance(&control), Platform::S_OK);
        ASSERT_EQ(control->InPlaceActivate(container, Platform::RECT{0, 0, 800, 600}), Platform::S_OK);
        control->put_recvMessage(&page);
    }

    void TearDown() override
    {
        if (control)
            control->Release();
        Platform::DestroyWindow(container);
        EXPECT_EQ(page.references, 0u);
    }

    Platform::HRESULT Post(const std::string& json)
    {
        Platform::ScopedBstr text(Platform::Utf8ToWide(json));
        return control->postMessage(text.Get());
    }

    static void Pump()
    {
        Platform::MSG message;
        while (Platform::PeekMessageW(&message, nullptr, 0, 0, Platform::PM_REMOVE))
            Platform::DispatchMessageW(&message);
    }

    Platform::HWND container = nullptr;
    CTrellan* control = nullptr;
    PageRecorder page;
};
