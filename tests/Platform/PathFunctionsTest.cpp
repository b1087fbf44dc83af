#include "Platform/ShellApi/PathFunctions.h"
#include "Platform/ShellApi/StringCompare.h"
#include "Platform/Text/TextConv.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace Platform;

namespace {

// A folder with a picture, a folder named like a picture, a non-ASCII name and links.
class PathFunctionsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "trellan-paths-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder = pattern;
        std::ofstream(folder / "photo.jpg") << "x";
        std::ofstream(folder / "照片 ä.PNG") << "x";
        std::filesystem::create_directory(folder / "album.jpg");
        std::filesystem::create_symlink(folder / "photo.jpg", folder / "link.jpg");
        std::filesystem::create_symlink(folder / "gone.jpg", folder / "dangling.jpg");
        // "照片" in GBK, as archives made on other systems name files: not UTF-8.
        std::ofstream(folder / "\xD5\xD5\xC6\xAC.jpg") << "x";
        std::filesystem::create_directory(folder / "\xD5\xD5\xC6\xAC");
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::wstring In(const std::string& name) const { return PathToWide((folder / name).string()); }

    std::filesystem::path folder;
};

TEST_F(PathFunctionsTest, ExistenceAndFoldersFollowLinksAndNamesThatAreNotUtf8)
{
    EXPECT_TRUE(PathFileExistsW(In("photo.jpg").c_str()));
    EXPECT_TRUE(PathFileExistsW(In("照片 ä.PNG").c_str()));
    EXPECT_TRUE(PathFileExistsW(In("album.jpg").c_str()));
    EXPECT_TRUE(PathFileExistsW(In("link.jpg").c_str()));
    EXPECT_TRUE(PathFileExistsW(In("\xD5\xD5\xC6\xAC.jpg").c_str()));
    EXPECT_FALSE(PathFileExistsW(In("dangling.jpg").c_str()));
    EXPECT_FALSE(PathFileExistsW(In("missing.jpg").c_str()));
    EXPECT_FALSE(PathFileExistsW(L""));
    EXPECT_FALSE(PathFileExistsW(nullptr));

    EXPECT_EQ(PathIsDirectoryW(In("album.jpg").c_str()), static_cast<BOOL>(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_TRUE(PathIsDirectoryW(PathToWide(folder.string()).c_str()));
    EXPECT_TRUE(PathIsDirectoryW(In("\xD5\xD5\xC6\xAC").c_str()));
    EXPECT_FALSE(PathIsDirectoryW(In("photo.jpg").c_str()));
    EXPECT_FALSE(PathIsDirectoryW(In("link.jpg").c_str()));
    EXPECT_FALSE(PathIsDirectoryW(In("missing").c_str()));
    EXPECT_FALSE(PathIsDirectoryW(nullptr));
}

TEST(PathFunctions, OnlySlashesAreTheRoot)
{
    EXPECT_TRUE(PathIsRootW(L"/"));
    EXPECT_TRUE(PathIsRootW(L"//"));
    EXPECT_FALSE(PathIsRootW(L"/home"));
    EXPECT_FALSE(PathIsRootW(L"/home/"));
    EXPECT_FALSE(PathIsRootW(L"C:\\"));
    EXPECT_FALSE(PathIsRootW(L""));
    EXPECT_FALSE(PathIsRootW(nullptr));
}

TEST(PathFunctions, TheExtensionIsTheLastComponentsLastDotOnwards)
{
    const auto extension = [](const wchar_t* path) { return std::wstring(PathFindExtensionW(path)); };
    EXPECT_EQ(extension(L"/photos/beach.JPG"), L".JPG");
    EXPECT_EQ(extension(L"/photos/archive.tar.gz"), L".gz");
    EXPECT_EQ(extension(L"/photos/my photo.jpg"), L".jpg");
    EXPECT_EQ(extension(L"/photos/照片.png"), L".png");
    EXPECT_EQ(extension(L"/photos/trailing."), L".");
    EXPECT_EQ(extension(L"/photos.d/readme"), L"");
    EXPECT_EQ(extension(L"/photos/.jpg"), L"");
    EXPECT_EQ(extension(L"/photos/..jpg"), L"");
    EXPECT_EQ(extension(L"/photos/.hidden.bmp"), L".bmp");
    EXPECT_EQ(extension(L"/photos/dir.jpg/"), L"");
    EXPECT_EQ(extension(L"back\\slash.gif"), L".gif");
    // No extension: the pointer is at the terminating null of the same text.
    const wchar_t* path = L"/photos/readme";
    EXPECT_EQ(PathFindExtensionW(path), path + 14);
    EXPECT_EQ(PathFindExtensionW(nullptr), nullptr);
}

TEST(StringCompare, CaseIsIgnoredForEveryLetterAndOrderIsKept)
{
    EXPECT_EQ(StrCmpIW(L".JPG", L".jpg"), 0);
    EXPECT_EQ(StrCmpIW(L"ÄÖÜ", L"äöü"), 0);
    EXPECT_EQ(StrCmpIW(L"ΣΊΣΥΦΟΣ", L"σίσυφοσ"), 0);
    EXPECT_LT(StrCmpIW(L"apple", L"Banana"), 0);
    EXPECT_GT(StrCmpIW(L"Banana", L"apple"), 0);
    EXPECT_LT(StrCmpIW(L".jp", L".JPG"), 0);
    EXPECT_LT(StrCmpIW(L".jpeg", L".JPG"), 0);
    EXPECT_GT(StrCmpIW(L".jpgx", L".JPG"), 0);
    EXPECT_NE(StrCmpIW(L".png", L".gif"), 0);
    EXPECT_LT(StrCmpIW(nullptr, L""), 0);
    EXPECT_EQ(StrCmpIW(nullptr, nullptr), 0);
}

} // namespace
