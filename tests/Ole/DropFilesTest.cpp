#include "Platform/Ole/DropFiles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace Platform;

namespace {

// Owns a file list for a test.
struct FileList {
    explicit FileList(const std::vector<std::wstring>& paths, POINT point = POINT{})
        : drop(CreateDropFiles(paths, point))
    {
    }
    ~FileList() { GlobalFree(drop); }
    HDROP drop;
};

std::vector<std::wstring> ReadAll(HDROP drop)
{
    std::vector<std::wstring> paths;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring path(DragQueryFileW(drop, i, nullptr, 0), L'\0');
        EXPECT_EQ(DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size() + 1)), path.size());
        paths.push_back(path);
    }
    return paths;
}

// A block laid out by hand, for lists that did not come from CreateDropFiles.
HGLOBAL RawBlock(const DROPFILES& header, const std::wstring& names, std::size_t cut = 0)
{
    const std::size_t size = sizeof header + names.size() * sizeof(wchar_t) - cut;
    const HGLOBAL block = GlobalAlloc(GMEM_FIXED, size);
    auto* bytes = static_cast<std::byte*>(GlobalLock(block));
    std::memcpy(bytes, &header, sizeof header);
    std::memcpy(bytes + sizeof header, names.data(), size - sizeof header);
    GlobalUnlock(block);
    return block;
}

TEST(DropFiles, CountsLengthsAndWholePathsIncludingNonAscii)
{
    const std::vector<std::wstring> paths = {L"/home/user/照片/海滩.jpg", L"/tmp/a.png", L"/媒体/😀 smile.GIF"};
    FileList list(paths, POINT{12, 34});
    EXPECT_EQ(DragQueryFileW(list.drop, 0xFFFFFFFF, nullptr, 0), 3u);
    EXPECT_EQ(DragQueryFileW(list.drop, 0, nullptr, 0), paths[0].size());
    EXPECT_EQ(ReadAll(list.drop), paths);
    EXPECT_EQ(DragQueryFilePath(list.drop, 2), paths[2]);
    DROPFILES header;
    std::memcpy(&header, GlobalLock(list.drop), sizeof header);
    GlobalUnlock(list.drop);
    EXPECT_EQ(header.pt, (POINT{12, 34}));
    EXPECT_TRUE(header.fWide);
}

TEST(DropFiles, APathLongerThanTheBufferIsNeverCutToAnotherName)
{
    const std::wstring path = L"/photos/holiday.jpg.d/cover.png";
    FileList list({path});
    wchar_t buffer[20];
    std::wmemset(buffer, L'x', 20);
    // "/photos/holiday.jpg" would fit: it must not be handed out.
    EXPECT_EQ(DragQueryFileW(list.drop, 0, buffer, 20), 0u);
    EXPECT_EQ(buffer[0], L'\0');
    std::vector<wchar_t> exact(path.size());
    EXPECT_EQ(DragQueryFileW(list.drop, 0, exact.data(), static_cast<UINT>(exact.size())), 0u);
    exact.resize(path.size() + 1);
    EXPECT_EQ(DragQueryFileW(list.drop, 0, exact.data(), static_cast<UINT>(exact.size())), path.size());
    EXPECT_EQ(std::wstring(exact.data()), path);

    const std::wstring deep = L"/" + std::wstring(5000, L'd') + L"/p.jpg";
    FileList longList({deep, L"/short.jpg"});
    wchar_t fixed[255];
    EXPECT_EQ(DragQueryFileW(longList.drop, 0, fixed, 255), 0u);
    EXPECT_EQ(DragQueryFilePath(longList.drop, 0), deep);
    EXPECT_EQ(DragQueryFileW(longList.drop, 1, fixed, 255), 10u);
    EXPECT_EQ(std::wstring(fixed), L"/short.jpg");
}

TEST(DropFiles, PathsThatCannotBeListedAreLeftOutAndBadQueriesGiveNothing)
{
    FileList list({L"", L"/a.jpg", std::wstring(L"/b.jpg\0/c.jpg", 13), L"/d.jpg"});
    EXPECT_EQ(ReadAll(list.drop), (std::vector<std::wstring>{L"/a.jpg", L"/d.jpg"}));
    wchar_t buffer[16] = L"unchanged";
    EXPECT_EQ(DragQueryFileW(list.drop, 2, buffer, 16), 0u);
    EXPECT_EQ(buffer[0], L'\0');
    EXPECT_EQ(DragQueryFilePath(list.drop, 7), L"");

    FileList empty({});
    EXPECT_EQ(DragQueryFileW(empty.drop, 0xFFFFFFFF, nullptr, 0), 0u);
    const HDROP freed = CreateDropFiles({L"/a.jpg"}, POINT{});
    GlobalFree(freed);
    EXPECT_EQ(DragQueryFileW(freed, 0xFFFFFFFF, nullptr, 0), 0u);
    EXPECT_EQ(DragQueryFileW(nullptr, 0, nullptr, 0), 0u);
}

TEST(DropFiles, MalformedBlocksAreReadOnlyWithinTheirBounds)
{
    DROPFILES header;
    header.pFiles = sizeof header;
    // The last path has lost its terminating null at the block's end.
    const HGLOBAL cut = RawBlock(header, std::wstring(L"/a.jpg\0/bcd.jpg\0", 16), sizeof(wchar_t));
    EXPECT_EQ(DragQueryFileW(cut, 0xFFFFFFFF, nullptr, 0), 1u);
    EXPECT_EQ(DragQueryFilePath(cut, 1), L"");
    GlobalFree(cut);

    header.pFiles = 4096;
    const HGLOBAL outside = RawBlock(header, std::wstring(L"/a.jpg\0\0", 8));
    EXPECT_EQ(DragQueryFileW(outside, 0xFFFFFFFF, nullptr, 0), 0u);
    GlobalFree(outside);

    header.pFiles = sizeof header;
    header.fWide = FALSE;
    const HGLOBAL narrow = RawBlock(header, std::wstring(L"/a.jpg\0\0", 8));
    EXPECT_EQ(DragQueryFileW(narrow, 0xFFFFFFFF, nullptr, 0), 0u);
    GlobalFree(narrow);
}

TEST(GlobalMemory, BlocksLockAndFreeAndDeadHandlesFailCleanly)
{
    const HGLOBAL block = GlobalAlloc(GHND, 8);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(GlobalSize(block), 8u);
    auto* bytes = static_cast<unsigned char*>(GlobalLock(block));
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(std::vector<unsigned char>(bytes, bytes + 8), std::vector<unsigned char>(8, 0));
    EXPECT_EQ(GlobalLock(block), bytes);
    EXPECT_TRUE(GlobalUnlock(block));
    EXPECT_FALSE(GlobalUnlock(block));
    EXPECT_EQ(GlobalFree(block), nullptr);

    EXPECT_EQ(GlobalLock(block), nullptr);
    EXPECT_EQ(GlobalSize(block), 0u);
    EXPECT_EQ(GlobalFree(block), block);
    const HGLOBAL next = GlobalAlloc(GMEM_FIXED, 8);
    EXPECT_NE(next, block);
    GlobalFree(next);
}

} // namespace
