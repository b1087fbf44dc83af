// GUIDs parsed from their registry form.

#include "Platform/Gdiplus/GdiplusTypes.h"
#include "Platform/Com/GuidText.h"

#include <gtest/gtest.h>

using namespace Platform;

namespace {

TEST(GuidText, ParsesTheRegistryFormInAnyCase)
{
    EXPECT_EQ(CLSIDFromString(L"{557CF401-1A04-11D3-9A73-0000F81EF32E}"), Gdiplus::ImageEncoderClsid(0x557CF401));
    EXPECT_EQ(CLSIDFromString(L"{557cf406-1a04-11d3-9a73-0000f81ef32e}"), Gdiplus::ImageEncoderClsid(0x557CF406));
    const GUID quality = *ParseGuid(L"{1D5BE4B5-FA4A-452D-9CDD-5DB35105E7EB}");
    EXPECT_EQ(quality, Gdiplus::EncoderQuality);
}

TEST(GuidText, RefusesAnythingElse)
{
    for (const wchar_t* text : {L"", L"557CF401-1A04-11D3-9A73-0000F81EF32E", L"{557CF401-1A04-11D3-9A73-0000F81EF32}",
                                L"{557CF401+1A04-11D3-9A73-0000F81EF32E}", L"{557CF4G1-1A04-11D3-9A73-0000F81EF32E}"})
        EXPECT_FALSE(ParseGuid(text)) << text;
    EXPECT_EQ(CLSIDFromString(L"nonsense"), CLSID{});
}

TEST(GuidText, FormatsTheRegistryFormInUppercaseAndParsesItBack)
{
    const GUID guid = *ParseGuid(L"{df3775a4-90ef-4965-b751-d48698f3949f}");
    EXPECT_EQ(StringFromGuid(guid), L"{DF3775A4-90EF-4965-B751-D48698F3949F}");
    EXPECT_EQ(ParseGuid(StringFromGuid(guid)), guid);
    EXPECT_EQ(StringFromGuid(GUID{}), L"{00000000-0000-0000-0000-000000000000}");
}

} // namespace
