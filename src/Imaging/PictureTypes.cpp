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
    // Only read, never written: the upload sends it as JPEG under a .jpg name.
    bool sentAsJpeg;
};

constexpr PictureType kPictureTypes[] = {
    {L".gif", true, true, false}, {L".png", true, true, false},  {L".jpg", true, true, false},
    {L".bmp", true, true, false}, {L".tif", false, true, false}, {L".heic", true, true, true},
    {L".heif", true, true, true}, {L".avif", true, true, true},  {L".webp", true, true, true},
};

bool EndsWith(const std::wstring& path, const wchar_t* ending)
{
    const std::size_t length = std::wcslen(ending);
    return path.size() >= length && StrCmpIW(path.c_str() + path.size() - length, ending) == 0;
}

const PictureType* TypeOf(const std::wstring& path)
{
    const auto found = std::find_if(std::begin(kPictureTypes), std::end(kPictureTypes),
                                    [&](const PictureType& type) { return EndsWith(path, type.extension); });
    return found == std::end(kPictureTypes) ? nullptr : found;
}

} // namespace

bool HasPictureType(const std::wstring& path, PictureRule rule)
{
    const PictureType* type = TypeOf(path);
    return type && (rule == PictureRule::PageAdd ? type->pageAdds : type->dropsAndListing);
}

bool IsPictureType(const std::wstring& extension)
{
    return std::any_of(std::begin(kPictureTypes), std::end(kPictureTypes),
                       [&](const PictureType& type) { return StrCmpIW(extension.c_str(), type.extension) == 0; });
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

std::wstring SentFileName(const std::wstring& fileName)
{
    const PictureType* type = TypeOf(fileName);
    if (!type || !type->sentAsJpeg)
        return fileName;
    return fileName.substr(0, fileName.size() - std::wcslen(type->extension)) + L".jpg";
}
