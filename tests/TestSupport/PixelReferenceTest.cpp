#include "PixelReference.h"

#include <png.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

namespace {

namespace fs = std::filesystem;

// A width x height picture of one grey, with single pixels changed by the tests.
struct Grey {
    int width, height;
    std::vector<std::uint8_t> rgba;

    Grey(int width, int height) : width(width), height(height), rgba(static_cast<std::size_t>(width) * height * 4, 128)
    {
    }

    void Set(int x, int y, std::uint8_t red) { rgba[(static_cast<std::size_t>(y) * width + x) * 4] = red; }

    void Write(const fs::path& path) const
    {
        png_image image;
        std::memset(&image, 0, sizeof image);
        image.version = PNG_IMAGE_VERSION;
        image.width = static_cast<png_uint_32>(width);
        image.height = static_cast<png_uint_32>(height);
        image.format = PNG_FORMAT_RGBA;
        ASSERT_TRUE(png_image_write_to_file(&image, path.c_str(), 0, rgba.data(), 0, nullptr));
    }
};

class PixelReferenceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A folder per test: ctest runs them side by side.
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        folder = fs::path(PixelReference::OutputPath("TestSupport/" + name + "/x")).parent_path();
        fs::remove_all(folder);
        fs::create_directories(folder);
        unsetenv("TRELLAN_UPDATE_REFERENCES");
    }

    void TearDown() override { unsetenv("TRELLAN_UPDATE_REFERENCES"); }

    PixelReference::Result Compare(const Grey& output, const Grey& reference, PixelReference::Tolerance tolerance)
    {
        output.Write(Output());
        reference.Write(Reference());
        return PixelReference::Compare(Output(), Reference(), tolerance);
    }

    std::string Output() const { return (folder / "shot.png").string(); }
    std::string Reference() const { return (folder / "reference.png").string(); }
    std::string Diff() const { return (folder / "shot.diff.png").string(); }

    fs::path folder;
};

TEST_F(PixelReferenceTest, SmallDifferencesWithinTheToleranceMatch)
{
    Grey output(10, 8), reference(10, 8);
    output.Set(3, 3, 136);
    const auto result = Compare(output, reference, {8, 0});
    EXPECT_TRUE(result.matches) << result.message;
    EXPECT_FALSE(fs::exists(Diff()));
    EXPECT_TRUE(Compare(reference, reference, {0, 0}).matches);
    EXPECT_EQ(Compare(reference, reference, {0, 0}).message, "");
}

TEST_F(PixelReferenceTest, TooManyDifferingPixelsFailAndLeaveADifferenceImage)
{
    Grey output(10, 8), reference(10, 8);
    output.Set(2, 1, 200);
    output.Set(7, 5, 0);
    EXPECT_TRUE(Compare(output, reference, {8, 2}).matches);
    const auto result = Compare(output, reference, {8, 1});
    EXPECT_FALSE(result.matches);
    EXPECT_NE(result.message.find("2 pixels differ"), std::string::npos) << result.message;
    EXPECT_NE(result.message.find("largest channel difference 128"), std::string::npos) << result.message;
    EXPECT_NE(result.message.find("x 2..7, y 1..5"), std::string::npos) << result.message;
    ASSERT_TRUE(fs::exists(Diff()));

    // A later matching run removes the stale difference image.
    EXPECT_TRUE(Compare(reference, reference, {0, 0}).matches);
    EXPECT_FALSE(fs::exists(Diff()));
}

TEST_F(PixelReferenceTest, ASizeChangeOrAMissingReferenceFails)
{
    const auto resized = Compare(Grey(10, 8), Grey(10, 9), {255, 1000});
    EXPECT_FALSE(resized.matches);
    EXPECT_NE(resized.message.find("10x8 against 10x9"), std::string::npos) << resized.message;

    Grey(4, 4).Write(Output());
    const auto missing = PixelReference::Compare(Output(), (folder / "none.png").string());
    EXPECT_FALSE(missing.matches);
    EXPECT_NE(missing.message.find("no readable reference"), std::string::npos) << missing.message;
}

TEST_F(PixelReferenceTest, UpdatingReplacesOnlyReferencesThatNoLongerMatch)
{
    setenv("TRELLAN_UPDATE_REFERENCES", "1", 1);
    Grey output(6, 6), reference(6, 6);
    output.Set(1, 1, 0);
    const auto updated = Compare(output, reference, {8, 0});
    EXPECT_TRUE(updated.matches);
    EXPECT_NE(updated.message.find("updated"), std::string::npos) << updated.message;
    unsetenv("TRELLAN_UPDATE_REFERENCES");
    EXPECT_TRUE(PixelReference::Compare(Output(), Reference(), {0, 0}).matches);

    setenv("TRELLAN_UPDATE_REFERENCES", "1", 1);
    EXPECT_EQ(PixelReference::Compare(Output(), Reference(), {0, 0}).message, "");
    const fs::path added = folder / "added" / "new.png";
    EXPECT_TRUE(PixelReference::Compare(Output(), added.string()).matches);
    EXPECT_TRUE(fs::exists(added));
}

} // namespace
