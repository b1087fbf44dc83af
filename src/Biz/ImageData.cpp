#include "Biz/ImageData.h"

#include "Platform/Gdiplus/Bitmap.h"
#include "Platform/Text/TextConv.h"

#include <boost/random/mersenne_twister.hpp>
#include <boost/uuid/random_generator.hpp>
#include <boost/uuid/uuid_io.hpp>

#include <algorithm>
#include <cwctype>
#include <limits>
#include <sys/stat.h>

namespace {

// One generator per thread, each seeded from system entropy on first use, so records
// made on the loader thread and the control's thread at once never share state.
std::string NewId()
{
    thread_local boost::uuids::basic_random_generator<boost::random::mt19937> generator;
    std::string text = boost::uuids::to_string(generator());
    text.erase(std::remove(text.begin(), text.end(), '-'), text.end());
    return text;
}

std::wstring LastComponent(const std::wstring& path)
{
    const std::size_t slash = path.find_last_of(L'/');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring ExtensionOf(const std::wstring& fileName)
{
    const std::size_t dot = fileName.find_last_of(L'.');
    return dot == std::wstring::npos ? std::wstring() : fileName.substr(dot);
}

std::wstring FormatOf(const std::wstring& extension)
{
    std::wstring format;
    for (wchar_t c : extension) {
        if (c != L'.')
            format.push_back(static_cast<wchar_t>(std::towlower(c)));
    }
    return format;
}

// Files of 2 GiB and more are counted as the largest size the field can hold
// instead of wrapping to a negative or too small size.
std::int32_t FileSizeOf(const std::wstring& path)
{
    struct stat info {};
    if (stat(Platform::WideToPath(path).c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return 0;
    return static_cast<std::int32_t>(
        std::min<std::int64_t>(info.st_size, std::numeric_limits<std::int32_t>::max()));
}

} // namespace

ImageData::ImageData(const std::wstring& filePath)
{
    svr = Json::Value();
    id = NewId();
    uploadSize = 0;
    sentBytes = 0;
    fileName = LastComponent(filePath);
    extension = ExtensionOf(fileName);
    format = FormatOf(extension);
    remark = fileName;
    path = filePath;
    fileSize = FileSizeOf(path);
    picture = LoadPictureFile(path);
    if (picture && picture->GetFrameDimensionsCount() > 0)
        thumbnail = MakeThumbnail(picture, ThumbnailBox, ThumbnailBox);
}
