#pragma once
// A control activated in a container on the test's thread, driven by trellan-run
// scripts through its script runner; what the scripts print is kept.

#include "ScriptRunner.h"
#include "UI/TestForm.h"

#include "Biz/AppConfig.h"
#include "Platform/Text/JsonText.h"
#include "Control/CTrellan.h"
#include "UI/Skin.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

class ControlScript : public ::testing::Test {
protected:
    // Each test starts and ends with the default configuration.
    void SetUp() override
    {
        AppConfig::Instance() = AppConfig();
        SetUpSkin();
        container = UITest::CreatePlainWindow(L"ScriptRunnerTestContainer", 0, 0, 800, 600);
        ASSERT_TRUE(container);
        ASSERT_EQ(CTrellan::CreateInstance(&control), Platform::S_OK);
        ASSERT_EQ(control->InPlaceActivate(container, Platform::RECT{0, 0, 800, 600}), Platform::S_OK);
    }

    void TearDown() override
    {
        control->InPlaceDeactivate();
        control->Release();
        Platform::DestroyWindow(container);
        AppConfig::Instance() = AppConfig();
    }

    // Runs the script with the default page function; what it printed goes to out.
    int Run(const std::string& text)
    {
        std::istringstream script(text);
        ::testing::internal::CaptureStdout();
        int status;
        {
            ScriptRunner runner(*control, control->Window(), script);
            runner.InstallDefaultFunction();
            status = runner.Run();
        }
        out = ::testing::internal::GetCapturedStdout();
        return status;
    }

    // The JSON values of the printed lines that start with prefix, in order.
    std::vector<Json::Value> Dumps(const std::string& prefix) const
    {
        std::vector<Json::Value> dumps;
        std::istringstream lines(out);
        for (std::string line; std::getline(lines, line);) {
            Json::Value value;
            if (line.rfind(prefix, 0) == 0 && Platform::ParseJson(line.substr(prefix.size()), value))
                dumps.push_back(value);
        }
        return dumps;
    }

    Platform::HWND container = nullptr;
    CTrellan* control = nullptr;
    std::string out;
};
