// Which names each way in takes as pictures, over one set of files.

#include "Gdiplus/TestPictures.h"
#include "Imaging/PictureTypes.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class PictureTypesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"a.gif", "B.PNG", "c.jpg", "d.bmp", "e.tif", "f.jpeg", "g.tiff", "h.xjpg", "i.txt",
                                 "j.heic", "K.WEBP", "l.avif", "m.heif", "n.heics"})
            paths.push_back(folder.File(name, {1, 2, 3}));
        const std::filesystem::path album = std::filesystem::path(folder.File("x")).parent_path() / "album.jpg";
        std::filesystem::create_directory(album);
        paths.push_back(album.wstring());
        paths.push_back(L"/nonexistent-trellan/missing.jpg");
        paths.push_back(L"/");
        paths.push_back(L"");
    }

    // The file names (or the whole path when it has none) the rule takes.
    std::vector<std::wstring> Taken(PictureRule rule) const
    {
        std::vector<std::wstring> taken;
        for (const std::wstring& path : paths)
            if (IsPicturePath(path, rule))
                taken.push_back(std::filesystem::path(path).filename().wstring());
        return taken;
    }

    TestPictures::TempFolder folder;
    std::vector<std::wstring> paths;
};

TEST_F(PictureTypesTest, ThePageAddsEveryTypeButTifOfExistingFilesOnly)
{
    EXPECT_EQ(Taken(PictureRule::PageAdd), (std::vector<std::wstring>{L"a.gif", L"B.PNG", L"c.jpg", L"d.bmp", L"j.heic",
                                                                      L"K.WEBP", L"l.avif", L"m.heif"}));
}

TEST_F(PictureTypesTest, BothDropTargetsTakeTheSameNamesTifIncludedAndNoFolders)
{
    const std::vector<std::wstring> dropped{L"a.gif",  L"B.PNG",  L"c.jpg",  L"d.bmp",  L"e.tif",
                                            L"j.heic", L"K.WEBP", L"l.avif", L"m.heif", L"missing.jpg"};
    EXPECT_EQ(Taken(PictureRule::WindowDrop), dropped);
    EXPECT_EQ(Taken(PictureRule::ListDrop), dropped);
}

TEST_F(PictureTypesTest, TheDialogListsByNameAlone)
{
    EXPECT_EQ(Taken(PictureRule::FolderListing),
              (std::vector<std::wstring>{L"a.gif", L"B.PNG", L"c.jpg", L"d.bmp", L"e.tif", L"j.heic", L"K.WEBP",
                                         L"l.avif", L"m.heif", L"album.jpg", L"missing.jpg"}));
}

TEST(SentFileNameTest, OnlyTypesThatAreNeverWrittenAreRenamedToJpg)
{
    EXPECT_EQ(SentFileName(L"IMG_0001.HEIC"), L"IMG_0001.jpg");
    EXPECT_EQ(SentFileName(L"a.b.webp"), L"a.b.jpg");
    EXPECT_EQ(SentFileName(L"x.avif"), L"x.jpg");
    EXPECT_EQ(SentFileName(L"scan.tif"), L"scan.tif");
    EXPECT_EQ(SentFileName(L"p.PNG"), L"p.PNG");
    EXPECT_EQ(SentFileName(L"heic"), L"heic");
}

} // namespace
