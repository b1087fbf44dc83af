#pragma once
// The file name an upload sends, made by the "FileNameGen" rule from the record and
// the encoded picture bytes.

#include <cstddef>
#include <cstdint>
#include <string>

class AppConfig;
class ImageData;

// fileName and extension as the record holds them; fileNameGen "guid", "crc" or
// "md5" (exactly) make a generated name, anything else keeps fileName.
std::string MakeSentName(const std::wstring& fileName, const std::wstring& extension, const std::uint8_t* bytes,
                         std::size_t length, const std::string& fileNameGen, const std::wstring& encodeType);

std::string GenerateName(const ImageData& file, const std::uint8_t* bytes, std::size_t length, const AppConfig& config);
