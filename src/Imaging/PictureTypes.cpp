#include "Imaging/PictureTypes.h"

#include "Platform/ShellApi/PathFunctions.h"
#include "Platform/ShellApi/StringCompare.h"

#include <algorithm>
#include <cwchar>
#include <iterator>

using namespace Platform;

namespace {

struct PictureType {
    const wchar_t* extension;
    // The page's "addFile" takes it.
    bool pageAdds;
    // A drop on the control or the list and the file-add dialog take it.
    bool dropsAndListing;
};

constexpr PictureType kPictureTypes[] = {
    {L".gif", true, true},
    {L".png", true, true},
    {L".jpg", true, true},
    {L".bmp", true, true},
    {L".tif", false, true},
};

bool EndsWith(const std::wstring& path, const wchar_t* ending)
{
    const std::size_t length = std::wcslen(ending);
    return path.size() >= length && StrCmpIW(path.c_str() + path.size() - length, ending) == 0;
}

} // namespace

bool HasPictureType(const std::wstring& path, PictureRule rule)
{
    return std::any_of(std::begin(kPictureTypes), std::end(kPictureTypes), [&](const PictureType& type) {
        const bool listed = rule == PictureRule::PageAdd ? type.pageAdds : type.dropsAndListing;
        return listed && EndsWith(path, type.extension);
    });
}

bool IsPictureType(const std::wstring& extension)
{
    return std::any_of(std::begin(kPictureTypes), std::end(kPictureTypes), [&](const PictureType& type) {
        return StrCmpIW(extension.c_str(), type.extension) == 0;
    });
}

bool NamesPictureFile(const std::wstring& path, PictureRule rule)
{
    switch (rule) {
    case PictureRule::PageAdd:
        return PathFileExistsW(path.c_str()) && !PathIsDirectoryW(path.c_str());
    case PictureRule::WindowDrop:
    case PictureRule::ListDrop:
        return !PathIsRootW(path.c_str()) && !PathIsDirectoryW(path.c_str());
    case PictureRule::FolderListing:
        return true;
    }
    return false;
}

bool IsPicturePath(const std::wstring& path, PictureRule rule)
{
    return !path.empty() && HasPictureType(path, rule) && NamesPictureFile(path, rule);
}
