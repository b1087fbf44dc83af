// The build step that turns resources/Resources.txt into the module's resource table.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include "TestPaths.h"

namespace fs = std::filesystem;

namespace {

class EmbedResources : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::temp_directory_path() /
                 ("trellan-embed-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        Write("script.rgs", "HKCR\n{\n}\n");
        Write("face.png", std::string("\x89PNG\r\n\x1a\n", 8));
    }

    void TearDown() override { fs::remove_all(folder); }

    void Write(const std::string& name, const std::string& content) const
    {
        std::ofstream(folder / name, std::ios::binary) << content;
    }

    // Runs the step on a table with these rows; true when it succeeded.
    bool Embed(const std::string& rows) const
    {
        Write("Resources.txt", rows);
        const std::string command = "cmake -DTABLE=" + (folder / "Resources.txt").string() +
                                    " -DOUTPUT=" + (folder / "out.cpp").string() + " -P " + TestPaths::SourceDir() +
                                    "/cmake/EmbedResources.cmake > " + (folder / "log.txt").string() + " 2>&1";
        return std::system(command.c_str()) == 0;
    }

    std::string Output() const
    {
        std::ostringstream text;
        text << std::ifstream(folder / "out.cpp").rdbuf();
        return text.str();
    }

    fs::path folder;
};

} // namespace

TEST_F(EmbedResources, WritesEveryRowWithItsTypeIdAndBytes)
{
    ASSERT_TRUE(Embed("# comment\n\nREGISTRY 101 script.rgs\n  PNG\t7  face.png\n"));
    const std::string source = Output();
    EXPECT_NE(source.find("{\"REGISTRY\", 101, data0}"), std::string::npos);
    EXPECT_NE(source.find("{\"PNG\", 7, data1}"), std::string::npos);
    EXPECT_NE(source.find("0x48,0x4b,0x43,0x52,0x0a,0x7b,0x0a,0x7d,0x0a,"), std::string::npos);
    EXPECT_NE(source.find("0x89,0x50,0x4e,0x47,0x0d,0x0a,0x1a,0x0a,"), std::string::npos);
}

TEST_F(EmbedResources, AnEmptyTableRegistersNothing)
{
    ASSERT_TRUE(Embed("# nothing yet\n"));
    EXPECT_EQ(Output().find("RegisterEmbeddedResources"), std::string::npos);
}

TEST_F(EmbedResources, RefusesBadTables)
{
    EXPECT_FALSE(Embed("PNG 7 face.png\npng 7 script.rgs\n")) << "the same type and id twice";
    EXPECT_FALSE(Embed("PNG 7 missing.png\n")) << "a missing file";
    EXPECT_FALSE(Embed("PNG face.png\n")) << "no id";
    EXPECT_FALSE(Embed("PNG 0 face.png\n")) << "id 0";
    EXPECT_FALSE(Embed("PNG 65536 face.png\n")) << "id past 16 bits";
    EXPECT_FALSE(Embed("PNG 7 face.png extra\n")) << "a fourth field";
    Write("empty.png", "");
    EXPECT_FALSE(Embed("PNG 7 empty.png\n")) << "an empty file";
}
