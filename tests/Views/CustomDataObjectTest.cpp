#include "Platform/Ole/StorageMedium.h"
#include "Views/CustomDataObject.h"
#include "Views/FormatRegistry.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace Platform;

namespace {

std::uint32_t ReadId(const STGMEDIUM& medium)
{
    std::uint32_t id = 0;
    EXPECT_EQ(GlobalSize(medium.hGlobal), sizeof id);
    std::memcpy(&id, GlobalLock(medium.hGlobal), sizeof id);
    GlobalUnlock(medium.hGlobal);
    return id;
}

TEST(CustomDataObject, AnItemIdComesBackAsACopyForTheMatchingFormatOnly)
{
    FormatRegistry::Instance().RegisterFormat(L"ListViewItem");
    auto data = ComPtr<CustomDataObject>::Adopt(new CustomDataObject);
    FORMATETC format = FormatRegistry::Instance().LookupFormat(L"ListViewItem");
    STGMEDIUM medium;
    EXPECT_EQ(data->QueryGetData(&format), DV_E_FORMATETC);
    EXPECT_FALSE(FormatRegistry::Instance().OffersAny(data.Get()));

    data->SetItemId(1234567, L"ListViewItem");
    EXPECT_EQ(data->QueryGetData(&format), S_OK);
    EXPECT_TRUE(FormatRegistry::Instance().OffersAny(data.Get()));
    ASSERT_EQ(data->GetData(&format, &medium), S_OK);
    EXPECT_EQ(medium.tymed, TYMED_HGLOBAL);
    EXPECT_EQ(medium.pUnkForRelease, nullptr);
    EXPECT_EQ(ReadId(medium), 1234567u);
    // The copy is the caller's: changing and freeing it leaves the stored id alone.
    std::memset(GlobalLock(medium.hGlobal), 0, 4);
    GlobalUnlock(medium.hGlobal);
    ReleaseStgMedium(&medium);
    ASSERT_EQ(data->GetData(&format, &medium), S_OK);
    EXPECT_EQ(ReadId(medium), 1234567u);
    ReleaseStgMedium(&medium);

    FORMATETC otherAspect = format;
    otherAspect.dwAspect = 4;
    FORMATETC otherMedium = format;
    otherMedium.tymed = TYMED_GDI;
    FORMATETC otherFormat = format;
    otherFormat.cfFormat = CF_HDROP;
    for (FORMATETC* wrong : {&otherAspect, &otherMedium, &otherFormat}) {
        EXPECT_EQ(data->QueryGetData(wrong), DV_E_FORMATETC);
        EXPECT_EQ(data->GetData(wrong, &medium), DV_E_FORMATETC);
    }
    EXPECT_EQ(data->GetDataHere(&format, &medium), E_NOTIMPL);
    EXPECT_EQ(data->EnumFormatEtc(1, nullptr), E_NOTIMPL);
}

TEST(CustomDataObject, ANewItemIdReplacesTheOldAndAMediumItCannotOwnIsRefused)
{
    auto data = ComPtr<CustomDataObject>::Adopt(new CustomDataObject);
    data->SetItemId(1, L"ListViewItem");
    data->SetItemId(2, L"ListViewItem");
    FORMATETC format = FormatRegistry::Instance().LookupFormat(L"ListViewItem");
    STGMEDIUM medium;
    ASSERT_EQ(data->GetData(&format, &medium), S_OK);
    EXPECT_EQ(ReadId(medium), 2u);
    ReleaseStgMedium(&medium);

    STGMEDIUM borrowed;
    borrowed.tymed = TYMED_HGLOBAL;
    borrowed.hGlobal = GlobalAlloc(GMEM_FIXED, 4);
    EXPECT_EQ(data->SetData(&format, &borrowed, FALSE), E_NOTIMPL);
    EXPECT_EQ(GlobalSize(borrowed.hGlobal), 4u);
    ReleaseStgMedium(&borrowed);
}

} // namespace
