#pragma once
// Small PNG photos in a temporary folder for the control's script tests.

#include "Platform/Gdiplus/Bitmap.h"
#include "Platform/Gdiplus/MemoryStream.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

class TestPhotos {
public:
    TestPhotos()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "trellan-photos-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            folder = pattern;
    }
    ~TestPhotos()
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    TestPhotos(const TestPhotos&) = delete;
    TestPhotos& operator=(const TestPhotos&) = delete;

    // Writes a 64 x 48 picture in a colour of its own under the name and returns its
    // path: JPEG when the name ends in "jpg" or "jpeg" (any case), BMP for ".bmp",
    // PNG otherwise.
    std::string Write(const std::string& name)
    {
        using namespace Platform::Gdiplus;
        const std::filesystem::path path = folder / name;
        std::filesystem::create_directories(path.parent_path());
        ++written;
        std::vector<std::uint32_t> pixels(64 * 48, 0xFF000000u | (written * 0x3F5A7Bu & 0xFFFFFFu));
        const auto bitmap = Bitmap::FromPixels(64, 48, 64 * 4, pixels.data());
        MemoryStream encoded;
        bitmap->Save(encoded, ImageEncoderClsid(EncoderFor(path.extension().string())));
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(encoded.Map()), static_cast<std::streamsize>(encoded.Size()));
        return path.string();
    }

    // A folder under the name.
    std::string Folder(const std::string& name)
    {
        std::filesystem::create_directories(folder / name);
        return (folder / name).string();
    }

    std::filesystem::path folder;

private:
    static std::uint32_t EncoderFor(std::string extension)
    {
        for (char& c : extension)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (extension.ends_with("jpg") || extension.ends_with("jpeg"))
            return 0x557CF401;
        return extension == ".bmp" ? 0x557CF400 : 0x557CF406;
    }

    std::uint32_t written = 0;
};
