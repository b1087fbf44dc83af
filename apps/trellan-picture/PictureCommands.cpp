#include "PictureCommands.h"

#include "Imaging/Picture.h"
#include "Platform/Gdiplus/Bitmap.h"
#include "Platform/Text/TextConv.h"

#include <cstdio>
#include <fstream>
#include <sys/stat.h>

using namespace Platform;
using namespace Platform::Gdiplus;

namespace {

const char* FormatName(ImageFormat format)
{
    switch (format) {
    case ImageFormat::Jpeg:
        return "jpeg";
    case ImageFormat::Png:
        return "png";
    case ImageFormat::Gif:
        return "gif";
    case ImageFormat::Bmp:
        return "bmp";
    case ImageFormat::Tiff:
        return "tiff";
    case ImageFormat::Heif:
        return "heif";
    case ImageFormat::Avif:
        return "avif";
    case ImageFormat::WebP:
        return "webp";
    default:
        return "memory";
    }
}

const char* StatusText(Status status)
{
    switch (status) {
    case Status::FileNotFound:
        return "cannot open the file";
    case Status::UnknownImageFormat:
        return "not a picture in a known format";
    case Status::ValueOverflow:
        return "the picture is larger than the pixel limit";
    case Status::NotImplemented:
        return "a variant of the format that is not supported";
    case Status::OutOfMemory:
        return "out of memory";
    case Status::InvalidParameter:
        return "invalid parameter";
    default:
        return "corrupt or truncated data";
    }
}

int Fail(const std::string& file, const char* reason)
{
    std::fprintf(stderr, "trellan-picture: %s: %s\n", file.c_str(), reason);
    return 1;
}

// The picture, or null after reporting why it cannot be read.
PictureHandle Load(const std::string& file)
{
    PictureHandle picture = LoadPictureFile(PathToWide(file));
    if (picture->GetFrameDimensionsCount() > 0)
        return picture;
    Fail(file, StatusText(picture->GetLastStatus()));
    return nullptr;
}

long long FileSize(const std::string& file)
{
    struct stat info {};
    return stat(file.c_str(), &info) == 0 ? static_cast<long long>(info.st_size) : 0;
}

// The output format from a file name's extension, as the upload record derives it.
std::wstring ExtensionFormat(const std::string& file)
{
    const std::size_t slash = file.find_last_of('/');
    const std::size_t dot = file.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return L"";
    std::wstring format;
    for (char c : file.substr(dot + 1))
        format.push_back(static_cast<wchar_t>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c));
    return format;
}

int Write(const PictureHandle& picture, const std::wstring& formatName, const std::string& output)
{
    const EncodedPicture encoded = EncodePicture(picture, formatName);
    if (encoded.length == 0 && picture->GetLastStatus() == Status::ValueOverflow)
        return Fail(output, "the picture is too large for the format (JPEG holds at most 65500 pixels a side)");
    if (encoded.length == 0)
        return Fail(output, StatusText(picture->GetLastStatus()));
    std::ofstream file(output, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(encoded.bytes.get()), static_cast<std::streamsize>(encoded.length));
    file.close();
    return file ? 0 : Fail(output, "cannot write the file");
}

} // namespace

int RunInfo(const std::vector<std::string>& files)
{
    int result = 0;
    for (const std::string& file : files) {
        const PictureHandle picture = Load(file);
        if (!picture) {
            result = 1;
            continue;
        }
        std::printf("%s: %s %ux%u %lld bytes\n", file.c_str(), FormatName(picture->GetRawFormat()), picture->GetWidth(),
                    picture->GetHeight(), FileSize(file));
    }
    return result;
}

int RunThumbnail(int boxWidth, int boxHeight, const std::string& input, const std::string& output)
{
    const PictureHandle picture = Load(input);
    if (!picture)
        return 1;
    const PictureHandle thumbnail = MakeThumbnail(picture, boxWidth, boxHeight);
    if (!thumbnail)
        return Fail(input, StatusText(picture->GetLastStatus()));
    return Write(thumbnail, ExtensionFormat(output), output);
}

int RunEncode(const std::string& formatName, const std::string& input, const std::string& output)
{
    const PictureHandle picture = Load(input);
    if (!picture)
        return 1;
    return Write(picture, Utf8ToWide(formatName), output);
}
