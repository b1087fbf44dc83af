#include "PixelReference.h"

#include <png.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>
#include "TestPaths.h"

namespace PixelReference {

namespace {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;
};

bool ReadPng(const std::string& path, Picture& picture)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return false;
    image.format = PNG_FORMAT_RGBA;
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    picture.rgba.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, picture.rgba.data(), 0, nullptr)) {
        png_image_free(&image);
        return false;
    }
    return true;
}

bool WritePng(const std::string& path, const Picture& picture)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(picture.width);
    image.height = static_cast<png_uint_32>(picture.height);
    image.format = PNG_FORMAT_RGBA;
    return png_image_write_to_file(&image, path.c_str(), 0, picture.rgba.data(), 0, nullptr) != 0;
}

struct Differences {
    int pixels = 0;
    int largest = 0;
    int left = 0, top = 0, right = -1, bottom = -1;
};

// Counts the pixels beyond the channel tolerance and marks them in diff, which starts
// as a faded copy of the reference.
Differences Measure(const Picture& output, const Picture& reference, int channelTolerance, Picture& diff)
{
    Differences found;
    diff = reference;
    for (int y = 0; y < reference.height; ++y) {
        for (int x = 0; x < reference.width; ++x) {
            const std::size_t at = (static_cast<std::size_t>(y) * reference.width + x) * 4;
            int largest = 0;
            for (int c = 0; c < 4; ++c)
                largest = std::max(largest, std::abs(output.rgba[at + c] - reference.rgba[at + c]));
            found.largest = std::max(found.largest, largest);
            std::uint8_t* pixel = &diff.rgba[at];
            if (largest <= channelTolerance) {
                for (int c = 0; c < 3; ++c)
                    pixel[c] = static_cast<std::uint8_t>(192 + pixel[c] / 4);
                pixel[3] = 255;
                continue;
            }
            pixel[0] = 255, pixel[1] = 0, pixel[2] = 0, pixel[3] = 255;
            if (found.pixels++ == 0)
                found.left = x, found.top = y, found.right = x, found.bottom = y;
            found.left = std::min(found.left, x), found.right = std::max(found.right, x);
            found.top = std::min(found.top, y), found.bottom = std::max(found.bottom, y);
        }
    }
    return found;
}

std::string DiffPath(const std::string& outputPng)
{
    std::filesystem::path path(outputPng);
    return (path.parent_path() / (path.stem().string() + ".diff.png")).string();
}

bool UpdatingReferences()
{
    const char* update = std::getenv("TRELLAN_UPDATE_REFERENCES");
    return update && std::strcmp(update, "1") == 0;
}

Result Replace(const std::string& outputPng, const std::string& referencePng, const std::string& why)
{
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(referencePng).parent_path(), error);
    std::filesystem::copy_file(outputPng, referencePng, std::filesystem::copy_options::overwrite_existing, error);
    if (error)
        return {false, "cannot update " + referencePng + ": " + error.message()};
    return {true, "updated " + referencePng + " (" + why + ")"};
}

std::string Describe(const Differences& found, int channelTolerance)
{
    return std::to_string(found.pixels) + " pixels differ by more than " + std::to_string(channelTolerance) +
           " (largest channel difference " + std::to_string(found.largest) + ", within x " +
           std::to_string(found.left) + ".." + std::to_string(found.right) + ", y " + std::to_string(found.top) + ".." +
           std::to_string(found.bottom) + ")";
}

} // namespace

Result Compare(const std::string& outputPng, const std::string& referencePng, Tolerance tolerance)
{
    Picture output, reference, diff;
    if (!ReadPng(outputPng, output))
        return {false, "cannot read the output " + outputPng};
    if (!ReadPng(referencePng, reference)) {
        if (UpdatingReferences())
            return Replace(outputPng, referencePng, "it had none");
        return {false, "no readable reference " + referencePng + " for " + outputPng};
    }
    if (output.width != reference.width || output.height != reference.height) {
        const std::string sizes = std::to_string(output.width) + "x" + std::to_string(output.height) + " against " +
                                  std::to_string(reference.width) + "x" + std::to_string(reference.height);
        if (UpdatingReferences())
            return Replace(outputPng, referencePng, sizes);
        return {false, outputPng + " is " + sizes + " in " + referencePng};
    }
    const Differences found = Measure(output, reference, tolerance.channel, diff);
    const std::string described = found.largest == 0 ? "" : Describe(found, tolerance.channel);
    if (found.pixels <= tolerance.pixels) {
        std::error_code ignored;
        std::filesystem::remove(DiffPath(outputPng), ignored);
        return {true, described};
    }
    if (UpdatingReferences())
        return Replace(outputPng, referencePng, described);
    const std::string diffPath = DiffPath(outputPng);
    const std::string written = WritePng(diffPath, diff) ? diffPath : "(cannot write " + diffPath + ")";
    return {false, outputPng + " against " + referencePng + ": " + described + "; more than " +
                       std::to_string(tolerance.pixels) + " allowed; difference image " + written};
}

std::string OutputPath(const std::string& name)
{
    const std::filesystem::path path = std::filesystem::path(TestPaths::BuildDir()) / "pictures" / name;
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    return path.string();
}

Result CompareWithReference(const std::string& name, Tolerance tolerance)
{
    return Compare(OutputPath(name), TestPaths::SourceDir() + "/tests/references/" + name, tolerance);
}

} // namespace PixelReference
