#include "Platform/ShellApi/PathFunctions.h"

#include "Platform/ShellApi/ShellVolumes.h"
#include "Platform/Text/TextConv.h"

#include <algorithm>

#include <sys/stat.h>

namespace Platform {
namespace {

bool StatPath(const wchar_t* path, struct stat& info)
{
    if (!path || !*path)
        return false;
    return stat(WideToPath(path).c_str(), &info) == 0;
}

} // namespace

BOOL PathFileExistsW(const wchar_t* path)
{
    struct stat info {};
    return StatPath(path, info) ? TRUE : FALSE;
}

BOOL PathIsDirectoryW(const wchar_t* path)
{
    struct stat info {};
    return StatPath(path, info) && S_ISDIR(info.st_mode) ? static_cast<BOOL>(FILE_ATTRIBUTE_DIRECTORY) : FALSE;
}

BOOL PathIsRootW(const wchar_t* path)
{
    if (!path || *path != L'/')
        return FALSE;
    while (*path == L'/')
        ++path;
    return *path ? FALSE : TRUE;
}

const wchar_t* PathFindExtensionW(const wchar_t* path)
{
    if (!path)
        return nullptr;
    const wchar_t* extension = nullptr;
    bool leadingDots = true;
    const wchar_t* cursor = path;
    for (; *cursor; ++cursor) {
        if (*cursor == L'/') {
            extension = nullptr;
            leadingDots = true;
        } else if (*cursor != L'.') {
            leadingDots = false;
        } else if (!leadingDots) {
            extension = cursor;
        }
    }
    return extension ? extension : cursor;
}

BOOL PathStripToRootW(wchar_t* path)
{
    if (!path || *path != L'/')
        return FALSE;
    const std::wstring whole(path);
    std::wstring root = L"/";
    for (const ShellVolume& volume : ShellVolumes()) {
        const std::wstring mountPoint = PathToWide(volume.mountPoint);
        const bool holds = whole.compare(0, mountPoint.size(), mountPoint) == 0 &&
                           (whole.size() == mountPoint.size() || whole[mountPoint.size()] == L'/');
        if (holds && mountPoint.size() > root.size())
            root = mountPoint;
    }
    std::copy(root.begin(), root.end(), path);
    path[root.size()] = L'\0';
    return TRUE;
}

std::wstring PathCombineW(const std::wstring& folder, const std::wstring& name)
{
    if (!name.empty() && name.front() == L'/')
        return name;
    if (folder.empty())
        return name;
    if (name.empty())
        return folder;
    return folder.back() == L'/' ? folder + name : folder + L'/' + name;
}

} // namespace Platform
