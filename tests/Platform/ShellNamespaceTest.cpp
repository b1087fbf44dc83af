#include "Platform/ShellApi/ByteSizeText.h"
#include "Platform/ShellApi/FindFiles.h"
#include "Platform/ShellApi/PathFunctions.h"
#include "Platform/ShellApi/ShellFileInfo.h"
#include "Platform/ShellApi/ShellFolder.h"
#include "Platform/ShellApi/ShellIcons.h"
#include "Platform/ShellApi/ShellItemIds.h"
#include "Platform/ShellApi/ShellNamespace.h"
#include "Platform/ShellApi/ShellVolumes.h"
#include "Platform/Text/TextConv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sys/stat.h>

using namespace Platform;

namespace {

TEST(ShellVolumesTest, DrivesAreTheRootAndRealFileSystemsUnderTheMediaFolders)
{
    const std::string table = "overlay / overlay rw 0 0\n"
                              "proc /proc proc rw 0 0\n"
                              "/dev/sda2 /home ext4 rw 0 0\n"
                              "/dev/sdb1 /media/ann/USB vfat rw 0 0\n"
                              "/dev/sdc1 /run/media/ann/Disk\\040Two ext4 rw 0 0\n"
                              "/dev/sdd1 /mnt/data ext4 rw 0 0\n"
                              "systemd-1 /mnt/auto autofs rw 0 0\n"
                              "tmpfs /media/ann/gone tmpfs rw 0 0\n"
                              "/dev/sde1 /media/ann/old ext4 rw 0 0\n"
                              "tmpfs /media/ann/old tmpfs rw 0 0\n"
                              "garbage\n";
    const std::map<std::string, std::string> labels = {{"/dev/sdb1", "旅行照片"}};
    const std::vector<ShellVolume> volumes = ParseVolumes(table, [&](const std::string& device) {
        auto it = labels.find(device);
        return it == labels.end() ? std::string() : it->second;
    });
    ASSERT_EQ(volumes.size(), 4u);
    EXPECT_EQ(volumes[0].mountPoint, "/");
    EXPECT_EQ(volumes[0].name, L"/");
    EXPECT_EQ(volumes[1].mountPoint, "/media/ann/USB");
    EXPECT_EQ(volumes[1].name, L"旅行照片") << "named by its label";
    EXPECT_EQ(volumes[2].mountPoint, "/mnt/data");
    EXPECT_EQ(volumes[2].name, L"data");
    EXPECT_EQ(volumes[3].mountPoint, "/run/media/ann/Disk Two") << "the table's escapes are read";
    EXPECT_EQ(volumes[3].name, L"Disk Two");
}

// A home folder with folders, a hidden one, files and a name that is not UTF-8.
class ShellNamespaceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "trellan-shell-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        home = pattern;
        for (const char* name : {"pictures", "Documents", ".cache", "\xD5\xD5\xC6\xAC"})
            std::filesystem::create_directory(home / name);
        std::ofstream(home / "notes.txt") << "x";
        std::filesystem::create_directory(home / "pictures" / "2024");
        std::ofstream(home / "pictures" / "a.jpg") << "x";
        const char* old = std::getenv("HOME");
        savedHome = old ? old : "";
        setenv("HOME", home.c_str(), 1);
        ASSERT_EQ(SHGetMalloc(&allocator), S_OK);
    }

    void TearDown() override
    {
        allocator->Release();
        setenv("HOME", savedHome.c_str(), 1);
        std::filesystem::remove_all(home);
    }

    // The display names of the children of the folder at prefix (null: the desktop),
    // and their absolute lists (freed by the test).
    std::vector<std::wstring> Children(IShellFolder* folder, DWORD flags, std::vector<ITEMIDLIST*>* lists = nullptr,
                                       const ITEMIDLIST* prefix = nullptr)
    {
        IEnumIDList* items = nullptr;
        EXPECT_EQ(folder->EnumObjects(nullptr, flags, &items), S_OK);
        std::vector<std::wstring> names;
        PITEMID_CHILD child = nullptr;
        ULONG fetched = 0;
        while (items->Next(1, &child, &fetched) == S_OK && fetched == 1) {
            ITEMIDLIST* absolute = ILCombine(prefix, child);
            allocator->Free(child);
            SHFILEINFOW info;
            SHGetFileInfoW(reinterpret_cast<const wchar_t*>(absolute), 0, &info, sizeof info,
                           SHGFI_PIDL | SHGFI_DISPLAYNAME);
            names.push_back(info.szDisplayName);
            if (lists)
                lists->push_back(absolute);
            else
                allocator->Free(absolute);
        }
        items->Release();
        return names;
    }

    std::filesystem::path home;
    std::string savedHome;
    IMalloc* allocator = nullptr;
};

TEST_F(ShellNamespaceTest, TheDesktopHoldsTheComputerAndTheHomeFoldersVisibleFolders)
{
    IShellFolder* desktop = nullptr;
    ASSERT_EQ(SHGetDesktopFolder(&desktop), S_OK);
    const std::vector<std::wstring> folders = Children(desktop, SHCONTF_FOLDERS);
    // Hidden folders and files are left out; the rest sort without regard to case.
    EXPECT_EQ(folders,
              (std::vector<std::wstring>{L"计算机", L"Documents", L"pictures", PathToWide("\xD5\xD5\xC6\xAC")}));
    EXPECT_EQ(Children(desktop, SHCONTF_NONFOLDERS), std::vector<std::wstring>{L"notes.txt"});
    EXPECT_EQ(Children(desktop, SHCONTF_FOLDERS | SHCONTF_INCLUDEHIDDEN).size(), 5u);

    std::vector<ITEMIDLIST*> lists;
    Children(desktop, SHCONTF_FOLDERS, &lists);
    ASSERT_EQ(lists.size(), 4u);
    // The computer is virtual: no path; its children are the volumes, the root first.
    wchar_t path[MAX_PATH];
    EXPECT_FALSE(SHGetPathFromIDListW(lists[0], path));
    IShellFolder* computer = nullptr;
    ASSERT_EQ(desktop->BindToObject(lists[0], nullptr, IID_IShellFolder, reinterpret_cast<void**>(&computer)), S_OK);
    EXPECT_EQ(Children(computer, SHCONTF_FOLDERS, nullptr, lists[0]).front(), L"/");
    computer->Release();

    // A folder binds to its own folder object; its path is the home folder's child.
    ASSERT_TRUE(SHGetPathFromIDListW(lists[2], path));
    EXPECT_EQ(std::wstring(path), PathToWide((home / "pictures").string()));
    IShellFolder* pictures = nullptr;
    ASSERT_EQ(desktop->BindToObject(lists[2], nullptr, IID_IShellFolder, reinterpret_cast<void**>(&pictures)), S_OK);
    EXPECT_EQ(Children(pictures, SHCONTF_FOLDERS, nullptr, lists[2]), std::vector<std::wstring>{L"2024"});
    std::vector<ITEMIDLIST*> files;
    Children(pictures, SHCONTF_NONFOLDERS, &files, lists[2]);
    ASSERT_EQ(files.size(), 1u);
    IShellFolder* notAFolder = nullptr;
    EXPECT_EQ(desktop->BindToObject(files[0], nullptr, IID_IShellFolder, reinterpret_cast<void**>(&notAFolder)),
              E_FAIL);
    EXPECT_EQ(notAFolder, nullptr);
    pictures->Release();

    // A name that is not UTF-8 keeps its bytes through the list and the path.
    ASSERT_TRUE(SHGetPathFromIDListW(lists[3], path));
    EXPECT_EQ(WideToPath(path), (home / "\xD5\xD5\xC6\xAC").string());

    for (ITEMIDLIST* list : lists)
        allocator->Free(list);
    allocator->Free(files[0]);
    desktop->Release();
}

TEST_F(ShellNamespaceTest, PagesDroppedFilesAreNeitherListedNorReachable)
{
    // The runtime folder is the home folder here, so the dropped files' folder is one of its entries.
    const char* old = std::getenv("XDG_RUNTIME_DIR");
    const std::string savedRuntime = old ? old : "";
    setenv("XDG_RUNTIME_DIR", home.c_str(), 1);
    const std::filesystem::path session = home / "trellan" / "0123456789abcdef0123456789abcdef";
    std::filesystem::create_directories(session / "files");
    std::ofstream(session / "files" / "dropped.jpg") << "x";
    std::filesystem::create_directory_symlink(session, home / "drops");
    std::filesystem::create_directory(home / "trellan-photos");

    const auto desktop = ResolveLocation({});
    ASSERT_TRUE(desktop);
    std::vector<std::string> names;
    for (const ShellStep& step : ChildSteps(*desktop, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN))
        names.push_back(step.name);
    EXPECT_EQ(std::count(names.begin(), names.end(), "trellan"), 0);
    EXPECT_EQ(std::count(names.begin(), names.end(), "drops"), 0) << "nor a link into it";
    EXPECT_EQ(std::count(names.begin(), names.end(), "trellan-photos"), 1);
    const ShellStep trellan{ShellStepKind::Entry, "trellan"};
    const ShellStep drops{ShellStepKind::Entry, "drops"};
    EXPECT_FALSE(ResolveLocation({trellan}));
    EXPECT_FALSE(ResolveLocation({drops, ShellStep{ShellStepKind::Entry, "files"}}));
    EXPECT_TRUE(ResolveLocation({ShellStep{ShellStepKind::Entry, "trellan-photos"}}));
    if (old)
        setenv("XDG_RUNTIME_DIR", savedRuntime.c_str(), 1);
    else
        unsetenv("XDG_RUNTIME_DIR");
}

TEST_F(ShellNamespaceTest, FileInformationGivesNamesTypesIconsAndTheSystemIconList)
{
    IShellFolder* desktop = nullptr;
    ASSERT_EQ(SHGetDesktopFolder(&desktop), S_OK);
    std::vector<ITEMIDLIST*> lists;
    Children(desktop, SHCONTF_FOLDERS, &lists);
    SHFILEINFOW info;
    const UINT flags = SHGFI_PIDL | SHGFI_DISPLAYNAME | SHGFI_TYPENAME | SHGFI_SYSICONINDEX | SHGFI_SMALLICON;
    const DWORD_PTR icons = SHGetFileInfoW(reinterpret_cast<const wchar_t*>(lists[1]), 0, &info, sizeof info, flags);
    EXPECT_EQ(icons, reinterpret_cast<DWORD_PTR>(ShellSmallIcons()));
    EXPECT_EQ(std::wstring(info.szDisplayName), L"Documents");
    EXPECT_EQ(std::wstring(info.szTypeName), L"文件夹");
    EXPECT_EQ(info.iIcon, ShellIconFolder);
    SHGetFileInfoW(reinterpret_cast<const wchar_t*>(lists[0]), 0, &info, sizeof info, flags);
    EXPECT_EQ(info.iIcon, ShellIconComputer);
    EXPECT_EQ(ImageList_GetImageCount(ShellSmallIcons()), 5);

    // The desktop itself is the empty list.
    ITEMIDLIST* empty = static_cast<ITEMIDLIST*>(allocator->Alloc(2));
    empty->mkid.cb = 0;
    SHGetFileInfoW(reinterpret_cast<const wchar_t*>(empty), 0, &info, sizeof info, flags);
    EXPECT_EQ(std::wstring(info.szDisplayName), L"桌面");
    EXPECT_EQ(info.iIcon, ShellIconDesktop);
    wchar_t path[MAX_PATH];
    ASSERT_TRUE(SHGetPathFromIDListW(empty, path));
    EXPECT_EQ(std::wstring(path), PathToWide(home.string()));

    // By attributes alone nothing is looked up; a missing file without them is an error.
    EXPECT_EQ(SHGetFileInfoW(L"*.txt", FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                             SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES | SHGFI_SMALLICON),
              reinterpret_cast<DWORD_PTR>(ShellSmallIcons()));
    EXPECT_EQ(info.iIcon, ShellIconFile);
    EXPECT_EQ(SHGetFileInfoW(L"/no/such/file", 0, &info, sizeof info, SHGFI_DISPLAYNAME), 0u);
    // Lists that are not ours are refused.
    const unsigned char foreign[] = {4, 0, 'Z', 'z', 0, 0};
    EXPECT_EQ(SHGetFileInfoW(reinterpret_cast<const wchar_t*>(foreign), 0, &info, sizeof info, flags), 0u);

    allocator->Free(empty);
    for (ITEMIDLIST* list : lists)
        allocator->Free(list);
    desktop->Release();
}

TEST_F(ShellNamespaceTest, PathsLongerThanTheShortBufferNeedTheSizedCall)
{
    std::filesystem::path deep = home;
    while (deep.string().size() < 300)
        deep /= "a-rather-long-folder-name";
    std::filesystem::create_directories(deep);
    const std::filesystem::path relative = std::filesystem::relative(deep, home);
    std::vector<ShellStep> steps;
    for (const auto& part : relative)
        steps.push_back(ShellStep{ShellStepKind::Entry, part.string()});
    ITEMIDLIST* list = ILFromSteps(steps);
    wchar_t shortBuffer[MAX_PATH];
    EXPECT_FALSE(SHGetPathFromIDListW(list, shortBuffer));
    EXPECT_EQ(shortBuffer[0], L'\0');
    std::vector<wchar_t> buffer(1024);
    ASSERT_TRUE(SHGetPathFromIDListEx(list, buffer.data(), static_cast<DWORD>(buffer.size()), 0));
    EXPECT_EQ(std::wstring(buffer.data()), PathToWide(deep.string()));
    ILFree(list);
}

TEST_F(ShellNamespaceTest, SearchesGiveAttributesSizesAndNeverMarkSpecialFilesAsNormal)
{
    const std::filesystem::path folder = home / "pictures";
    std::ofstream(folder / ".hidden.jpg") << "x";
    ASSERT_EQ(mkfifo((folder / "pipe.jpg").c_str(), 0600), 0);
    std::filesystem::resize_file(folder / "a.jpg", 5'000'000'000ull); // sparse
    std::map<std::wstring, WIN32_FIND_DATAW> found;
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW(PathToWide((folder / "*.*").string()).c_str(), &data);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    do
        found[data.cFileName] = data;
    while (FindNextFileW(search, &data));
    EXPECT_TRUE(FindClose(search));
    EXPECT_FALSE(FindClose(search));

    ASSERT_EQ(found.size(), 4u) << "a.jpg, .hidden.jpg, pipe.jpg and 2024";
    EXPECT_EQ(found[L"a.jpg"].dwFileAttributes, FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ((std::uint64_t{found[L"a.jpg"].nFileSizeHigh} << 32) | found[L"a.jpg"].nFileSizeLow, 5'000'000'000ull);
    EXPECT_EQ(found[L".hidden.jpg"].dwFileAttributes, FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(found[L"pipe.jpg"].dwFileAttributes, FILE_ATTRIBUTE_SYSTEM);
    EXPECT_EQ(found[L"2024"].dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_NE(found[L"a.jpg"].ftLastWriteTime.dwHighDateTime, 0u);

    // Patterns match names; nothing matching and missing folders give no search.
    search = FindFirstFileW(PathToWide((folder / "*.j?g").string()).c_str(), &data);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    int matches = 1;
    while (FindNextFileW(search, &data))
        ++matches;
    FindClose(search);
    EXPECT_EQ(matches, 3);
    EXPECT_EQ(FindFirstFileW(PathToWide((folder / "*.png").string()).c_str(), &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(FindFirstFileW(L"/no/such/folder/*.*", &data), INVALID_HANDLE_VALUE);
}

TEST(ShellTextTest, SizesAreShortWithThreeDigitsCutNotRounded)
{
    wchar_t text[19];
    const std::vector<std::pair<LONGLONG, std::wstring>> cases = {
        {0, L"0 bytes"},           {1023, L"1023 bytes"},
        {1024, L"1.00 KB"},        {1536, L"1.50 KB"},
        {2047, L"1.99 KB"},        {15 * 1024 + 1000, L"15.9 KB"},
        {1000 * 1024, L"0.97 MB"}, {5'000'000'000LL, L"4.65 GB"},
        {-5, L"0 bytes"},          {0x7FFFFFFFFFFFFFFFLL, L"7.99 EB"}};
    for (const auto& [size, expected] : cases)
        EXPECT_EQ(std::wstring(StrFormatByteSizeW(size, text, 19)), expected) << size;
    EXPECT_EQ(std::wstring(StrFormatByteSizeW(1536, text, 4)), L"1.5") << "cut to the buffer";
    EXPECT_EQ(StrFormatByteSizeW(1, nullptr, 19), nullptr);
}

TEST(ShellTextTest, PathsCombineAndStripToTheirVolume)
{
    EXPECT_EQ(PathCombineW(L"/home/ann", L"a.jpg"), L"/home/ann/a.jpg");
    EXPECT_EQ(PathCombineW(L"/", L"a.jpg"), L"/a.jpg");
    EXPECT_EQ(PathCombineW(L"/home/ann/", L"a.jpg"), L"/home/ann/a.jpg");
    EXPECT_EQ(PathCombineW(L"/home/ann", L"/etc/x"), L"/etc/x");
    const std::wstring longName(400, L'n');
    EXPECT_EQ(PathCombineW(L"/data", longName).size(), 406u) << "no length limit";

    wchar_t path[] = L"/home/ann/pictures";
    EXPECT_TRUE(PathStripToRootW(path));
    EXPECT_EQ(std::wstring(path), L"/");
    wchar_t relative[] = L"pictures/2024";
    EXPECT_FALSE(PathStripToRootW(relative));
    EXPECT_EQ(std::wstring(relative), L"pictures/2024");
}

} // namespace
