#include "Http/MimeTypes.h"

#include <gtest/gtest.h>

namespace {

TEST(MimeTypesTest, ExactExtensionsOnly)
{
    EXPECT_EQ(LookupMimeType(".png"), "image/png");
    EXPECT_EQ(LookupMimeType(".PNG"), "application/octet-stream");
    EXPECT_EQ(LookupMimeType(""), "application/octet-stream");
    EXPECT_EQ(LookupMimeType(".jfif"), "image/jpeg");
    EXPECT_EQ(LookupMimeType(".bmp"), "application/x-bmp");
    EXPECT_EQ(LookupMimeType(".m3u"), "video/mpegurl");
    EXPECT_EQ(LookupMimeType(".xquery"), "text/xml");
}

TEST(MimeTypesTest, ExtensionStartsAtTheLastPlainDot)
{
    EXPECT_EQ(FindNameExtension("c2412435.jpg"), ".jpg");
    EXPECT_EQ(FindNameExtension("a.b.tar.gz"), ".gz");
    EXPECT_EQ(FindNameExtension("photo.jpg copy"), "");
    EXPECT_EQ(FindNameExtension("dir.d\\name"), "");
    EXPECT_EQ(FindNameExtension("noextension"), "");
    EXPECT_EQ(FindNameExtension("trailing."), ".");
    EXPECT_EQ(LookupMimeType(FindNameExtension("c2412435.jpg")), "image/jpeg");
}

} // namespace
