#include "Control/PictureNames.h"

#include "Platform/ShellApi/PathFunctions.h"
#include "Platform/ShellApi/StringCompare.h"

#include <cwchar>
#include <initializer_list>

using namespace Platform;

namespace {

bool EndsWithAny(const std::wstring& text, std::initializer_list<const wchar_t*> endings)
{
    for (const wchar_t* ending : endings) {
        const std::size_t length = std::wcslen(ending);
        if (text.size() >= length && StrCmpIW(text.c_str() + text.size() - length, ending) == 0)
            return true;
    }
    return false;
}

} // namespace

bool IsPageAddablePicture(const std::wstring& path)
{
    return !path.empty() && PathFileExistsW(path.c_str()) && !PathIsDirectoryW(path.c_str()) &&
           EndsWithAny(path, {L".gif", L".png", L".jpg", L".bmp"});
}

bool IsDroppablePicture(const std::wstring& path)
{
    if (path.empty() || PathIsRootW(path.c_str()) || PathIsDirectoryW(path.c_str()))
        return false;
    return EndsWithAny(PathFindExtensionW(path.c_str()), {L"gif", L"png", L"bmp", L"jpg"});
}
