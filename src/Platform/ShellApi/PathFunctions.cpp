#include "Platform/ShellApi/PathFunctions.h"

#include "Platform/Text/TextConv.h"

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

} // namespace Platform
