#include "Views/FormatRegistry.h"

#include <gtest/gtest.h>

using namespace Platform;

namespace {

TEST(FormatRegistry, NamesAreRegisteredOnceAndUnknownNamesGiveFormatZero)
{
    FormatRegistry& registry = FormatRegistry::Instance();
    registry.RegisterFormat(L"RegistryTestFormat");
    const FORMATETC first = registry.LookupFormat(L"RegistryTestFormat");
    registry.RegisterFormat(L"RegistryTestFormat");
    EXPECT_EQ(registry.LookupFormat(L"RegistryTestFormat").cfFormat, first.cfFormat);
    EXPECT_GE(first.cfFormat, 0xC000);
    EXPECT_EQ(first.tymed, TYMED_HGLOBAL);
    EXPECT_EQ(first.dwAspect, DVASPECT_CONTENT);
    EXPECT_EQ(first.lindex, -1);
    const FORMATETC unknown = registry.LookupFormat(L"RegistryTestMissing");
    EXPECT_EQ(unknown.cfFormat, 0);
    EXPECT_EQ(unknown.tymed, TYMED_HGLOBAL);
    registry.RegisterFormat(L"");
    EXPECT_EQ(registry.LookupFormat(L"").cfFormat, 0);
}

} // namespace
