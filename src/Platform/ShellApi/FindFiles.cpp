#include "Platform/ShellApi/FindFiles.h"

#include "Platform/Text/TextConv.h"

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace Platform {
namespace {

// Seconds between 1601-01-01 and 1970-01-01.
constexpr std::uint64_t kEpochDifference = 11644473600ull;

struct Search {
    std::vector<WIN32_FIND_DATAW> entries;
    std::size_t next = 0;
};

// Searches may run on any thread.
struct Searches {
    std::mutex lock;
    std::map<std::uintptr_t, Search> open;
    std::uintptr_t nextHandle = 1;
};

Searches& AllSearches()
{
    static Searches searches;
    return searches;
}

bool Matches(const wchar_t* pattern, const wchar_t* name)
{
    if (*pattern == L'\0')
        return *name == L'\0';
    if (*pattern == L'*')
        return Matches(pattern + 1, name) || (*name && Matches(pattern, name + 1));
    if (*name && (*pattern == L'?' || *pattern == *name))
        return Matches(pattern + 1, name + 1);
    return false;
}

FILETIME ToFileTime(const timespec& time)
{
    const std::uint64_t ticks =
        (static_cast<std::uint64_t>(time.tv_sec) + kEpochDifference) * 10000000ull + time.tv_nsec / 100;
    return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

WIN32_FIND_DATAW Describe(int folder, const std::string& name)
{
    WIN32_FIND_DATAW data;
    struct stat info {};
    const bool found = fstatat(folder, name.c_str(), &info, 0) == 0;
    if (found && S_ISDIR(info.st_mode))
        data.dwFileAttributes |= FILE_ATTRIBUTE_DIRECTORY;
    else if (!found || !S_ISREG(info.st_mode))
        data.dwFileAttributes |= FILE_ATTRIBUTE_SYSTEM;
    if (name.front() == '.')
        data.dwFileAttributes |= FILE_ATTRIBUTE_HIDDEN;
    if (data.dwFileAttributes == 0)
        data.dwFileAttributes = FILE_ATTRIBUTE_NORMAL;
    if (found && S_ISREG(info.st_mode)) {
        const auto size = static_cast<std::uint64_t>(info.st_size);
        data.nFileSizeHigh = static_cast<DWORD>(size >> 32);
        data.nFileSizeLow = static_cast<DWORD>(size);
    }
    if (found) {
        data.ftLastWriteTime = ToFileTime(info.st_mtim);
        data.ftLastAccessTime = ToFileTime(info.st_atim);
        data.ftCreationTime = ToFileTime(info.st_ctim);
    }
    const std::wstring wide = PathToWide(name);
    const std::size_t count = std::min<std::size_t>(wide.size(), MAX_PATH - 1);
    std::copy_n(wide.begin(), count, data.cFileName);
    data.cFileName[count] = L'\0';
    return data;
}

} // namespace

HANDLE FindFirstFileW(const wchar_t* pattern, WIN32_FIND_DATAW* data)
{
    if (!pattern || !data)
        return INVALID_HANDLE_VALUE;
    const std::wstring whole(pattern);
    const std::size_t slash = whole.find_last_of(L'/');
    const std::wstring folder = slash == std::wstring::npos ? L"." : (slash == 0 ? L"/" : whole.substr(0, slash));
    std::wstring mask = slash == std::wstring::npos ? whole : whole.substr(slash + 1);
    if (mask == L"*.*")
        mask = L"*";
    DIR* directory = opendir(WideToPath(folder).c_str());
    if (!directory)
        return INVALID_HANDLE_VALUE;
    Search search;
    while (const dirent* entry = readdir(directory)) {
        const std::string name = entry->d_name;
        if (name == "." || name == ".." || !Matches(mask.c_str(), PathToWide(name).c_str()))
            continue;
        search.entries.push_back(Describe(dirfd(directory), name));
    }
    closedir(directory);
    if (search.entries.empty())
        return INVALID_HANDLE_VALUE;
    *data = search.entries[0];
    search.next = 1;
    Searches& searches = AllSearches();
    std::lock_guard guard(searches.lock);
    const std::uintptr_t handle = searches.nextHandle++;
    searches.open.emplace(handle, std::move(search));
    return reinterpret_cast<HANDLE>(handle);
}

BOOL FindNextFileW(HANDLE handle, WIN32_FIND_DATAW* data)
{
    Searches& searches = AllSearches();
    std::lock_guard guard(searches.lock);
    auto it = searches.open.find(reinterpret_cast<std::uintptr_t>(handle));
    if (!data || it == searches.open.end() || it->second.next >= it->second.entries.size())
        return FALSE;
    *data = it->second.entries[it->second.next++];
    return TRUE;
}

BOOL FindClose(HANDLE handle)
{
    Searches& searches = AllSearches();
    std::lock_guard guard(searches.lock);
    return searches.open.erase(reinterpret_cast<std::uintptr_t>(handle)) ? TRUE : FALSE;
}

} // namespace Platform
