#include "Platform/Ole/ClipboardFormats.h"

#include <gtest/gtest.h>

using namespace Platform;

TEST(ClipboardFormats, ANameKeepsItsPrivateFormatWhateverItsCase)
{
    const UINT format = RegisterClipboardFormatW(L"TestTileId");
    EXPECT_GE(format, 0xC000u);
    EXPECT_LE(format, 0xFFFFu);
    EXPECT_EQ(RegisterClipboardFormatW(L"TestTileId"), format);
    EXPECT_EQ(RegisterClipboardFormatW(L"testtileid"), format);
    const UINT other = RegisterClipboardFormatW(L"TestOtherId");
    EXPECT_NE(other, format);
    EXPECT_GE(other, 0xC000u);
    EXPECT_EQ(RegisterClipboardFormatW(L""), 0u);
    EXPECT_EQ(RegisterClipboardFormatW(nullptr), 0u);
}
