#include "Platform/Win/Profile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>
#include <fstream>

using namespace Platform;

namespace {

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override { setenv("TRELLAN_PROFILE", path.c_str(), 1); }
    void TearDown() override
    {
        unsetenv("TRELLAN_PROFILE");
        std::filesystem::remove(path);
    }
    void Write(const std::string& text) { std::ofstream(path) << text; }

    const std::string path =
        (std::filesystem::temp_directory_path() / ("trellan-profile-test-" + std::to_string(getpid()) + ".ini"))
            .string();
};

TEST_F(ProfileTest, ReadsTheEntryOfItsSectionIgnoringCase)
{
    Write("; settings\n[Desktop]\nOleInPlaceBorderWidth=9\n[ windows ]\n  OLEINPLACEBORDERWIDTH = 6 \nother=x\n");
    EXPECT_EQ(GetProfileIntW(L"windows", L"oleinplaceborderwidth", 4), 6u);
    EXPECT_EQ(GetProfileIntW(L"windows", L"other", 4), 0u);
    EXPECT_EQ(GetProfileIntW(L"windows", L"missing", 4), 4u);
    EXPECT_EQ(GetProfileIntW(L"nowhere", L"oleinplaceborderwidth", 4), 4u);
}

TEST_F(ProfileTest, AMissingFileOrAHugeNumberIsHandled)
{
    EXPECT_EQ(GetProfileIntW(L"windows", L"oleinplaceborderwidth", 4), 4u);
    Write("[windows]\nbig=99999999999999999999\nneg=-3\n");
    EXPECT_EQ(static_cast<int>(GetProfileIntW(L"windows", L"big", 4)), 2147483647);
    EXPECT_EQ(static_cast<int>(GetProfileIntW(L"windows", L"neg", 4)), -3);
}

} // namespace
