#include "Views/FolderPictures.h"

#include "Biz/ImageData.h"
#include "Imaging/PictureTypes.h"
#include "Platform/ShellApi/FindFiles.h"
#include "Platform/ShellApi/PathFunctions.h"
#include "Platform/ShellApi/StringCompare.h"
#include "Platform/Text/TextConv.h"

#include <algorithm>

using namespace Platform;

std::vector<std::shared_ptr<ImageData>> ListFolderPictures(const std::wstring& folder, const std::atomic<bool>& stop)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW(PathCombineW(folder, L"*.*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        constexpr DWORD skipped = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;
        do {
            const bool empty = entry.nFileSizeHigh == 0 && entry.nFileSizeLow == 0;
            if (!(entry.dwFileAttributes & skipped) && !empty &&
                IsPicturePath(entry.cFileName, PictureRule::FolderListing))
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
