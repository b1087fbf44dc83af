#include "Biz/FileNaming.h"

#include "Biz/AppConfig.h"
#include "Biz/Digest.h"
#include "Biz/ImageData.h"
#include "Biz/WireText.h"
#include "Imaging/PictureTypes.h"
#include "Platform/ShellApi/PathFunctions.h"
#include "Platform/Text/TextConv.h"

#include <algorithm>

using namespace Platform;

std::string MakeSentName(const std::wstring& fileName, const std::wstring& extension, const std::uint8_t* bytes,
                         std::size_t length, const std::string& fileNameGen, const std::wstring& encodeType)
{
    const bool utf8 = IsUtf8EncodeType(encodeType);
    const std::string ext = WideToUtf8(extension);
    std::string name = utf8 ? WideToUtf8(fileName) : WideToAnsi(fileName);
    if (fileNameGen == "guid") {
        name = NewUuidText() + ext;
        name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
    } else if (fileNameGen == "crc") {
        name = Crc32Hex(bytes, length) + ext;
    } else if (fileNameGen == "md5") {
        name = Md5Hex(bytes, length) + ext;
    }
    return utf8 ? PercentEncode(name) : name;
}

std::string GenerateName(const ImageData& file, const std::uint8_t* bytes, std::size_t length, const AppConfig& config)
{
    // A photo of a type that is sent as JPEG goes under its name with a .jpg extension.
    const std::wstring fileName = SentFileName(file.fileName);
    const std::wstring extension = fileName == file.fileName ? file.extension : PathFindExtensionW(fileName.c_str());
    return MakeSentName(fileName, extension, bytes, length, config.FileNameGen, config.EncodeType);
}
