#include "Platform/Resources/ResourceTable.h"
#include "Platform/Gdiplus/Bitmap.h"
#include "Platform/Resources/Resources.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

using namespace Platform;

namespace {

struct ImageSize {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    friend bool operator==(const ImageSize&, const ImageSize&) = default;
};

std::uint32_t BigEndian32(const std::uint8_t* bytes)
{
    return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) | (std::uint32_t{bytes[2]} << 8) |
           bytes[3];
}

// Width and height from the PNG signature and IHDR chunk; zero for anything else.
ImageSize PngSize(const void* data, std::size_t size)
{
    static const std::uint8_t signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    if (size < 24 || std::memcmp(bytes, signature, 8) != 0 || std::memcmp(bytes + 12, "IHDR", 4) != 0)
        return {};
    return {BigEndian32(bytes + 16), BigEndian32(bytes + 20)};
}

// The size of PNG resource `id`, read through the resource functions.
ImageSize PngResourceSize(WORD id)
{
    HRSRC resource = FindResourceW(nullptr, MAKEINTRESOURCEW(id), L"PNG");
    if (resource == nullptr)
        return {};
    const void* data = LockResource(LoadResource(nullptr, resource));
    return data == nullptr ? ImageSize{} : PngSize(data, SizeofResource(nullptr, resource));
}

struct SkinRow {
    const char* name;
    WORD id;
    ImageSize size;
};

const SkinRow skinRows[] = {
    {"CheckBox-Normal", 226, {15, 15}},
    {"CheckBox-Hover", 225, {15, 15}},
    {"CheckBox-Checked", 223, {15, 15}},
    {"CheckBox-CkHover", 224, {15, 15}},
    {"BtnNormal", 215, {72, 25}},
    {"BtnHover", 212, {72, 25}},
    {"BtnDown", 211, {72, 25}},
    {"BtnDisable", 210, {72, 25}},
    {"BtnCloseNormal", 209, {15, 15}},
    {"BtnCloseHover", 208, {15, 15}},
    {"BtnCloseVNormal", 239, {25, 25}},
    {"BtnCloseVHover", 238, {25, 25}},
    {"IcoAdd", 201, {16, 16}},
    {"IcoEdit", 228, {15, 15}},
    {"IcoInfo", 230, {32, 32}},
    {"ico-left", 240, {48, 48}},
    {"ico-right", 241, {48, 48}},
    {"BtnPost-Normal", 220, {84, 24}},
    {"BtnPost-Disable", 218, {84, 24}},
    {"BtnPost-Hover", 219, {84, 24}},
    {"BtnPost-Cancel", 217, {84, 24}},
    {"BtnAdd-Normal", 206, {84, 24}},
    {"BtnAdd-Hover", 205, {84, 24}},
    {"BtnAdd-Disable", 204, {84, 24}},
    {"BtnAdd2-Normal", 203, {203, 51}},
    {"BtnAdd2-Hover", 202, {203, 51}},
    {"RotatioLeft", 231, {16, 16}},
    {"RotatioRight", 232, {16, 16}},
    {"Btn_Delete", 227, {16, 16}},
    {"BtnMax-Normal", 214, {15, 15}},
    {"BtnMax-Hover", 213, {15, 15}},
    {"BtnRestore-Normal", 222, {15, 15}},
    {"BtnRestore-Hover", 221, {15, 15}},
    {"Title_bk", 233, {1, 32}},
    {"BtnOk", 216, {55, 24}},
    {"BtnCancel", 207, {51, 24}},
};

} // namespace

TEST(SkinResources, EverySkinImageIsEmbeddedAtItsSize)
{
    for (const SkinRow& row : skinRows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(PngResourceSize(row.id), row.size);
    }
}

TEST(SkinResources, IconStripHoldsSixCellsInARow)
{
    EXPECT_EQ(PngResourceSize(234), (ImageSize{96, 16}));
}

TEST(SkinResources, ResourceBytesAreWholePngFiles)
{
    // Every PNG ends with its IEND chunk; a truncated embedding would lose it.
    static const std::uint8_t iend[] = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
    for (const ResourceEntry& entry : EmbeddedResources()) {
        if (entry.type != "PNG")
            continue;
        SCOPED_TRACE(entry.id);
        ASSERT_GE(entry.bytes.size(), sizeof iend);
        EXPECT_EQ(std::memcmp(entry.bytes.data() + entry.bytes.size() - sizeof iend, iend, sizeof iend), 0);
    }
}

TEST(ResourceLookup, FindsByTypeAndIdOnly)
{
    EXPECT_EQ(FindResourceW(nullptr, MAKEINTRESOURCEW(229), L"PNG"), nullptr);
    EXPECT_EQ(FindResourceW(nullptr, MAKEINTRESOURCEW(0), L"PNG"), nullptr);
    EXPECT_EQ(FindResourceW(nullptr, MAKEINTRESOURCEW(65535), L"PNG"), nullptr);
    EXPECT_EQ(FindResourceW(nullptr, MAKEINTRESOURCEW(226), L"REGISTRY"), nullptr);
    EXPECT_EQ(FindResourceW(nullptr, MAKEINTRESOURCEW(226), L"PN"), nullptr);
    EXPECT_EQ(FindResourceW(nullptr, MAKEINTRESOURCEW(226), L"PNG "), nullptr);
    EXPECT_EQ(FindResourceW(nullptr, MAKEINTRESOURCEW(226), L"ＰNG"), nullptr);
    EXPECT_EQ(FindResourceW(nullptr, MAKEINTRESOURCEW(226), nullptr), nullptr);
    EXPECT_EQ(FindResourceW(nullptr, MAKEINTRESOURCEW(226), MAKEINTRESOURCEW(10)), nullptr);
    EXPECT_EQ(FindEmbeddedResource("PNG", 229), nullptr);
}

TEST(ResourceLookup, TypeNamesIgnoreCaseAndIdsMayBeWrittenAsText)
{
    HRSRC byId = FindResourceW(nullptr, MAKEINTRESOURCEW(226), L"PNG");
    ASSERT_NE(byId, nullptr);
    EXPECT_EQ(FindResourceW(nullptr, MAKEINTRESOURCEW(226), L"png"), byId);
    EXPECT_EQ(FindResourceW(nullptr, L"#226", L"Png"), byId);
    EXPECT_EQ(FindResourceW(nullptr, L"#0226", L"PNG"), byId);
    EXPECT_EQ(FindResourceW(nullptr, L"226", L"PNG"), nullptr);
    EXPECT_EQ(FindResourceW(nullptr, L"#", L"PNG"), nullptr);
    EXPECT_EQ(FindResourceW(nullptr, L"#22a", L"PNG"), nullptr);
    EXPECT_EQ(FindResourceW(nullptr, L"#65762", L"PNG"), nullptr);
    EXPECT_EQ(FindResourceW(nullptr, L"#99999999999", L"PNG"), nullptr);
}

TEST(ResourceLookup, ResourceFunctionsAgreeWithTheTable)
{
    const ResourceEntry* entry = FindEmbeddedResource("png", 233);
    ASSERT_NE(entry, nullptr);
    HRSRC resource = FindResourceW(nullptr, MAKEINTRESOURCEW(233), L"PNG");
    HGLOBAL loaded = LoadResource(nullptr, resource);
    EXPECT_EQ(LockResource(loaded), entry->bytes.data());
    EXPECT_EQ(SizeofResource(nullptr, resource), entry->bytes.size());
    EXPECT_EQ(FreeResource(loaded), FALSE);
}

TEST(ResourceLookup, HandlesThatAreNotResourcesAreRefused)
{
    HRSRC resource = FindResourceW(nullptr, MAKEINTRESOURCEW(233), L"PNG");
    ASSERT_NE(resource, nullptr);
    auto* inside = reinterpret_cast<HRSRC>(reinterpret_cast<std::uintptr_t>(resource) + 1);
    std::uint8_t unrelated = 0;
    for (HRSRC bad : {HRSRC{}, inside, reinterpret_cast<HRSRC>(&unrelated)}) {
        EXPECT_EQ(LoadResource(nullptr, bad), nullptr);
        EXPECT_EQ(SizeofResource(nullptr, bad), 0u);
    }
    EXPECT_EQ(LockResource(nullptr), nullptr);
}

TEST(RegistrationResources, TheToolboxBitmapAndTheProjectNameAreThere)
{
    // The registration names "%MODULE%, 102": a 16 x 16 bitmap the picture decoder reads.
    HRSRC bitmap = FindResourceW(nullptr, MAKEINTRESOURCEW(102), L"BITMAP");
    ASSERT_NE(bitmap, nullptr);
    const auto* bytes = static_cast<const std::uint8_t*>(LockResource(LoadResource(nullptr, bitmap)));
    ASSERT_GE(SizeofResource(nullptr, bitmap), 54u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes), 2), "BM");
    const auto decoded = Gdiplus::Bitmap::FromMemory(bytes, SizeofResource(nullptr, bitmap));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->GetWidth(), 16u);
    EXPECT_EQ(decoded->GetHeight(), 16u);

    wchar_t name[64];
    EXPECT_EQ(LoadStringW(nullptr, 100, name, 64), 10);
    EXPECT_EQ(std::wstring(name), L"TrellanApp");
    EXPECT_EQ(LoadStringW(nullptr, 100, name, 5), 4) << "cut to the buffer";
    EXPECT_EQ(std::wstring(name), L"Trel");
    EXPECT_EQ(LoadStringW(nullptr, 101, name, 64), 0) << "101 is no string";
    EXPECT_EQ(std::wstring(name), L"");
    EXPECT_EQ(LoadStringW(nullptr, 100, nullptr, 64), 0);
}
