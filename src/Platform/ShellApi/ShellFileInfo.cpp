#include "Platform/ShellApi/ShellFileInfo.h"

#include "Platform/ShellApi/ShellIcons.h"
#include "Platform/ShellApi/ShellNamespace.h"
#include "Platform/Text/TextConv.h"

#include <algorithm>
#include <optional>
#include <sys/stat.h>

namespace Platform {
namespace {

constexpr const wchar_t* kFolderType = L"文件夹";
constexpr const wchar_t* kSystemFolderType = L"系统文件夹";
constexpr const wchar_t* kDriveType = L"本地磁盘";
constexpr const wchar_t* kFileType = L"文件";

struct Described {
    std::wstring displayName;
    const wchar_t* typeName = kFileType;
    int icon = ShellIconFile;
};

std::optional<Described> DescribeItem(PCIDLIST_ABSOLUTE list)
{
    const std::optional<std::vector<ShellStep>> steps = ILToSteps(list);
    const std::optional<ShellLocation> location = steps ? ResolveLocation(*steps) : std::nullopt;
    if (!location)
        return std::nullopt;
    switch (location->kind) {
    case ShellLocation::Kind::Desktop:
        return Described{location->displayName, kSystemFolderType, ShellIconDesktop};
    case ShellLocation::Kind::Computer:
        return Described{location->displayName, kSystemFolderType, ShellIconComputer};
    case ShellLocation::Kind::Volume:
        return Described{location->displayName, kDriveType, ShellIconDrive};
    case ShellLocation::Kind::Folder:
        return Described{location->displayName, kFolderType, ShellIconFolder};
    default:
        return Described{location->displayName, kFileType, ShellIconFile};
    }
}

std::wstring LastComponent(const std::wstring& path)
{
    std::wstring trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == L'/')
        trimmed.pop_back();
    const std::size_t slash = trimmed.find_last_of(L'/');
    return slash == std::wstring::npos || trimmed == L"/" ? trimmed : trimmed.substr(slash + 1);
}

std::optional<Described> DescribePath(const wchar_t* path, DWORD attributes, bool useAttributes)
{
    bool folder = attributes & FILE_ATTRIBUTE_DIRECTORY;
    if (!useAttributes) {
        struct stat info {};
        if (stat(WideToPath(path).c_str(), &info) != 0)
            return std::nullopt;
        folder = S_ISDIR(info.st_mode);
    }
    return folder ? Described{LastComponent(path), kFolderType, ShellIconFolder}
                  : Described{LastComponent(path), kFileType, ShellIconFile};
}

template <std::size_t N> void CopyText(const std::wstring& text, wchar_t (&target)[N])
{
    const std::size_t count = std::min(text.size(), N - 1);
    std::copy_n(text.begin(), count, target);
    target[count] = L'\0';
}

} // namespace

DWORD_PTR SHGetFileInfoW(const wchar_t* path, DWORD attributes, SHFILEINFOW* info, UINT infoSize, UINT flags)
{
    if (!path)
        return 0;
    const std::optional<Described> described = (flags & SHGFI_PIDL)
                                                   ? DescribeItem(reinterpret_cast<PCIDLIST_ABSOLUTE>(path))
                                                   : DescribePath(path, attributes, flags & SHGFI_USEFILEATTRIBUTES);
    if (!described)
        return 0;
    if (info && infoSize >= sizeof(SHFILEINFOW)) {
        if (flags & SHGFI_DISPLAYNAME)
            CopyText(described->displayName, info->szDisplayName);
        if (flags & SHGFI_TYPENAME)
            CopyText(described->typeName, info->szTypeName);
        if (flags & SHGFI_SYSICONINDEX)
            info->iIcon = described->icon;
    }
    return (flags & SHGFI_SYSICONINDEX) ? reinterpret_cast<DWORD_PTR>(ShellSmallIcons()) : 1;
}

BOOL SHGetPathFromIDListW(PCIDLIST_ABSOLUTE list, wchar_t* path)
{
    return SHGetPathFromIDListEx(list, path, MAX_PATH, 0);
}

BOOL SHGetPathFromIDListEx(PCIDLIST_ABSOLUTE list, wchar_t* path, DWORD size, int)
{
    if (!path || size == 0)
        return FALSE;
    path[0] = L'\0';
    const std::optional<std::vector<ShellStep>> steps = ILToSteps(list);
    const std::optional<ShellLocation> location = steps ? ResolveLocation(*steps) : std::nullopt;
    if (!location || location->path.empty())
        return FALSE;
    const std::wstring wide = PathToWide(location->path);
    if (wide.size() >= size)
        return FALSE;
    std::copy(wide.begin(), wide.end(), path);
    path[wide.size()] = L'\0';
    return TRUE;
}

} // namespace Platform
