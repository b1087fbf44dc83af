#include "Views/FolderPictures.h"

#include "Biz/ImageData.h"
#include "Platform/ShellApi/FindFiles.h"
#include "Platform/ShellApi/PathFunctions.h"
#include "Platform/ShellApi/StringCompare.h"
#include "Platform/Text/TextConv.h"

#include <algorithm>

using namespace Platform;

namespace {

bool HasPictureExtension(const std::wstring& name)
{
    if (name.size() < 4)
        return false;
    const std::wstring ending = name.substr(name.size() - 4);
    for (const wchar_t* extension : {L".gif", L".png", L".jpg", L".bmp", L".tif"})
        if (StrCmpIW(ending.c_str(), extension) == 0)
            return true;
    return false;
}

} // namespace

std::vector<std::shared_ptr<ImageData>> ListFolderPictures(const std::wstring& folder, const std::atomic<bool>& stop)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW(PathCombineW(folder, L"*.*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        constexpr DWORD skipped = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;
        do {
            const bool empty = entry.nFileSizeHigh == 0 && entry.nFileSizeLow == 0;
            if (!(entry.dwFileAttributes & skipped) && !empty && HasPictureExtension(entry.cFileName))
                names.emplace_back(entry.cFileName);
        } while (!stop && FindNextFileW(search, &entry));
        FindClose(search);
    }
    std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
        const int folded = StrCmpIW(a.c_str(), b.c_str());
        return folded != 0 ? folded < 0 : WideToPath(a) < WideToPath(b);
    });
    std::vector<std::shared_ptr<ImageData>> pictures;
    for (const std::wstring& name : names) {
        if (stop)
            break;
        pictures.push_back(std::make_shared<ImageData>(PathCombineW(folder, name)));
    }
    return pictures;
}
