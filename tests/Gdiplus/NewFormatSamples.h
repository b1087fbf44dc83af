#pragma once
// HEIC, AVIF and WebP files made in memory by the libraries' own encoders, from a
// picture of four coloured quarters, so that colours and orientation can be told apart
// after decoding.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <libheif/heif.h>
#include <vector>
#include <webp/encode.h>

namespace NewFormatSamples {

struct Colour {
    std::uint8_t r, g, b;
};

// Top-left, top-right, bottom-left, bottom-right.
constexpr Colour Red{230, 20, 20}, Green{20, 200, 20}, Blue{20, 20, 230}, White{240, 240, 240};

inline Colour QuarterColour(int x, int y, int width, int height, const Colour (&quarters)[4])
{
    return quarters[(y >= height / 2 ? 2 : 0) + (x >= width / 2 ? 1 : 0)];
}

inline heif_error WriteBytes(heif_context*, const void* data, std::size_t size, void* out)
{
    auto* bytes = static_cast<std::vector<std::uint8_t>*>(out);
    bytes->insert(bytes->end(), static_cast<const std::uint8_t*>(data), static_cast<const std::uint8_t*>(data) + size);
    return {heif_error_Ok, heif_suberror_Unspecified, ""};
}

inline heif_image* QuarterImage(int width, int height, const Colour (&quarters)[4])
{
    heif_image* image = nullptr;
    heif_image_create(width, height, heif_colorspace_RGB, heif_chroma_interleaved_RGB, &image);
    heif_image_add_plane(image, heif_channel_interleaved, width, height, 8);
    int stride = 0;
    std::uint8_t* plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Colour c = QuarterColour(x, y, width, height, quarters);
            std::uint8_t* p = plane + y * stride + x * 3;
            p[0] = c.r;
            p[1] = c.g;
            p[2] = c.b;
        }
    }
    return image;
}

// A HEIF file (HEVC or AV1) of the quarters stored width x height and shown with the
// Exif-numbered orientation (written as irot/imir); with thumbnailQuarters, an embedded
// thumbnail of half the size showing those quarters instead. Empty when encoding fails.
inline std::vector<std::uint8_t> Heif(heif_compression_format compression, int width, int height, int orientation,
                                      const Colour (&quarters)[4], const Colour (*thumbnailQuarters)[4] = nullptr)
{
    std::vector<std::uint8_t> bytes;
    heif_context* context = heif_context_alloc();
    heif_encoder* encoder = nullptr;
    if (heif_context_get_encoder_for_format(context, compression, &encoder).code == heif_error_Ok) {
        heif_encoder_set_lossy_quality(encoder, 90);
        heif_encoding_options* options = heif_encoding_options_alloc();
        options->image_orientation = static_cast<heif_orientation>(orientation);
        heif_image* image = QuarterImage(width, height, quarters);
        heif_image_handle* handle = nullptr;
        bool encoded = heif_context_encode_image(context, image, encoder, options, &handle).code == heif_error_Ok;
        if (encoded && thumbnailQuarters) {
            heif_image* other = QuarterImage(width, height, *thumbnailQuarters);
            heif_image_handle* thumbnail = nullptr;
            encoded = heif_context_encode_thumbnail(context, other, handle, encoder, options,
                                                    std::max(width, height) / 2, &thumbnail)
                              .code == heif_error_Ok &&
                      thumbnail;
            heif_image_handle_release(thumbnail);
            heif_image_release(other);
        }
        heif_writer writer{1, WriteBytes};
        if (!encoded || heif_context_write(context, &writer, &bytes).code != heif_error_Ok)
            bytes.clear();
        heif_image_handle_release(handle);
        heif_image_release(image);
        heif_encoding_options_free(options);
        heif_encoder_release(encoder);
    }
    heif_context_free(context);
    return bytes;
}

inline void PutLittle(std::vector<std::uint8_t>& bytes, std::uint32_t value, int count)
{
    for (int i = 0; i < count; ++i)
        bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

inline void PutChunk(std::vector<std::uint8_t>& file, const char* type, const std::uint8_t* data, std::size_t size)
{
    file.insert(file.end(), type, type + 4);
    PutLittle(file, static_cast<std::uint32_t>(size), 4);
    file.insert(file.end(), data, data + size);
    if (size & 1)
        file.push_back(0);
}

// A simple lossy WebP file from RGB rows, made at the encoder's fastest setting.
inline std::vector<std::uint8_t> WebpOf(const std::vector<std::uint8_t>& rgb, int width, int height, float quality)
{
    WebPConfig config;
    WebPConfigInit(&config);
    config.quality = quality;
    config.method = 0;
    WebPPicture picture;
    WebPPictureInit(&picture);
    picture.width = width;
    picture.height = height;
    WebPMemoryWriter writer;
    WebPMemoryWriterInit(&writer);
    picture.writer = WebPMemoryWrite;
    picture.custom_ptr = &writer;
    std::vector<std::uint8_t> bytes;
    if (WebPPictureImportRGB(&picture, rgb.data(), width * 3) && WebPEncode(&config, &picture))
        bytes.assign(writer.mem, writer.mem + writer.size);
    WebPPictureFree(&picture);
    WebPMemoryWriterClear(&writer);
    return bytes;
}

inline std::vector<std::uint8_t> QuarterRgb(int width, int height, const Colour (&quarters)[4])
{
    std::vector<std::uint8_t> rgb;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Colour c = QuarterColour(x, y, width, height, quarters);
            rgb.insert(rgb.end(), {c.r, c.g, c.b});
        }
    }
    return rgb;
}

// A simple WebP file rewritten in the extended form, with an EXIF chunk (a little-endian
// TIFF structure without prefix, as WebP writers store it) giving the orientation.
inline std::vector<std::uint8_t> WebpWithOrientation(const std::vector<std::uint8_t>& simple, int width, int height,
                                                     int orientation)
{
    std::vector<std::uint8_t> header;
    header.push_back(0x08); // EXIF present
    header.insert(header.end(), 3, 0);
    PutLittle(header, static_cast<std::uint32_t>(width - 1), 3);
    PutLittle(header, static_cast<std::uint32_t>(height - 1), 3);
    std::vector<std::uint8_t> exif = {'I', 'I', 42, 0, 8, 0, 0, 0, 1, 0};
    PutLittle(exif, 0x0112, 2);
    PutLittle(exif, 3, 2);
    PutLittle(exif, 1, 4);
    PutLittle(exif, static_cast<std::uint32_t>(orientation), 4);
    PutLittle(exif, 0, 4);
    std::vector<std::uint8_t> body = {'W', 'E', 'B', 'P'};
    PutChunk(body, "VP8X", header.data(), header.size());
    body.insert(body.end(), simple.begin() + 12, simple.end()); // the image chunk
    PutChunk(body, "EXIF", exif.data(), exif.size());
    std::vector<std::uint8_t> file = {'R', 'I', 'F', 'F'};
    PutLittle(file, static_cast<std::uint32_t>(body.size()), 4);
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

} // namespace NewFormatSamples
