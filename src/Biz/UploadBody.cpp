#include "Biz/UploadBody.h"

#include "Biz/AppConfig.h"
#include "Biz/FileNaming.h"
#include "Biz/ImageData.h"
#include "Biz/Log/Log.h"
#include "Biz/WireText.h"
#include "Http/HttpHeader.h"
#include "Imaging/Picture.h"
#include "Imaging/RasterConversion.h"
#include "Platform/Files/RegularFile.h"
#include "Platform/Gdiplus/Bitmap.h"
#include "Platform/Text/TextConv.h"

#include <sys/stat.h>
#include <unistd.h>

#include <limits>
#include <new>

namespace {

// The body buffer is 32-bit; a larger picture fails like one that could not be encoded.
constexpr std::size_t kLargestPicture = std::numeric_limits<std::int32_t>::max() / 2;

// The picture that goes into the file part, with the size the form fields report.
struct SentPicture {
    EncodedPicture encoded;
    int width = 0;
    int height = 0;
};

// The whole file as it is now; no bytes when it cannot be read, with why in problem.
EncodedPicture ReadWholeFile(const std::wstring& path, std::string& problem)
{
    EncodedPicture read;
    const int descriptor = Platform::OpenRegularFileForReading(path);
    if (descriptor < 0) {
        problem = Platform::FileProblemText(errno);
        return read;
    }
    struct stat status {};
    if (fstat(descriptor, &status) != 0 || status.st_size <= 0 ||
        static_cast<std::size_t>(status.st_size) > kLargestPicture) {
        problem = status.st_size > 0 ? "too large" : "empty or unreadable";
        close(descriptor);
        return read;
    }
    const auto size = static_cast<std::size_t>(status.st_size);
    try {
        read.bytes.reset(new std::uint8_t[size]);
    } catch (const std::bad_alloc&) {
        problem = "out of memory";
        close(descriptor);
        return read;
    }
    // A file cut short while it is read is sent with the bytes it still has.
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = ::read(descriptor, read.bytes.get() + done, size - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    close(descriptor);
    read.length = done;
    if (done == 0) {
        read.bytes.reset();
        problem = "empty or unreadable";
    }
    return read;
}

// The file's own bytes. The picture's size is the upright picture's as read when the
// file was added; a file that has changed since is sent as it is now, with the size
// of the picture it holds now.
std::string ReadOriginal(const ImageData& file, const PictureHandle& picture, SentPicture& sent)
{
    std::string problem;
    sent.encoded = ReadWholeFile(file.path, problem);
    if (!sent.encoded.bytes)
        return "the file cannot be read: " + problem;
    sent.width = static_cast<int>(picture->GetWidth());
    sent.height = static_cast<int>(picture->GetHeight());
    if (static_cast<std::int64_t>(sent.encoded.length) == file.fileSize)
        return "";
    Log::Instance().Warn("sent as it is now, changed since it was added: " + Platform::WideToUtf8(file.path),
                         "Biz\\UploadBody", __LINE__);
    const PictureHandle now = LoadPictureFile(file.path);
    sent.width = static_cast<int>(now->GetWidth());
    sent.height = static_cast<int>(now->GetHeight());
    return sent.width > 0 ? "" : "the picture cannot be read";
}

// The picture fitted into the configured box (never enlarged) and encoded by the
// record's format; or, when asked for and nothing changed it, the file itself.
std::string ChoosePicture(ImageData& file, const AppConfig& config, SentPicture& sent)
{
    // A file sent before the list's loader reached it is read here, on this thread.
    PictureHandle picture = file.PictureToSend();
    if (!picture || picture->GetWidth() == 0)
        return "the picture cannot be read";
    const int width = static_cast<int>(picture->GetWidth());
    const int height = static_cast<int>(picture->GetHeight());
    constexpr int kNoLimit = std::numeric_limits<int>::max();
    const FittedSize fitted = FitInside(width, height, config.MaxWidth > 0 ? config.MaxWidth : kNoLimit,
                                        config.MaxHeight > 0 ? config.MaxHeight : kNoLimit);
    const bool scaled = fitted.width != width || fitted.height != height;
    if (!scaled && config.SendOriginal && file.IsUnchanged() && KeepsFileFormat(picture, file.format))
        return ReadOriginal(file, picture, sent);
    if (scaled) {
        picture = ScalePicture(picture, fitted.width, fitted.height);
        if (!picture)
            return "the picture cannot be scaled";
    }
    sent.encoded = EncodePicture(picture, file.format, config.JpegQuality);
    sent.width = static_cast<int>(picture->GetWidth());
    sent.height = static_cast<int>(picture->GetHeight());
    return sent.encoded.bytes ? "" : "the picture cannot be read";
}

} // namespace

std::string UploadBody::Prepare(ImageData& file, const AppConfig& config, const std::string& origin)
{
    const std::string remark = EncodeWireText(file.remark, config.EncodeType);
    SentPicture sent;
    std::string failure = ChoosePicture(file, config, sent);
    const bool sendable = failure.empty() && sent.encoded.length <= kLargestPicture;
    pictureLength = sendable ? static_cast<std::int32_t>(sent.encoded.length) : 0;
    file.uploadSize = pictureLength;
    file.sentBytes = 0;
    // A picture that cannot be decoded (or encoded) fails here, before anything is
    // posted: sent as an empty part, a server answering success would count it as sent.
    if (pictureLength == 0)
        return failure.empty() ? "the picture cannot be read" : failure;
    const std::uint8_t* bytes = sent.encoded.bytes.get();
    const std::string name = GenerateName(file, bytes, static_cast<std::size_t>(pictureLength), config);

    HttpHeader header;
    header.SetHeader("Cookie", config.Cookie);
    header.SetHeader("Connection", "Close");
    if (!origin.empty())
        header.SetHeader("Origin", origin);

    body.AddField("id", file.id);
    body.AddNumberField("width", sent.width);
    body.AddNumberField("height", sent.height);
    body.AddField("remark", remark);
    for (const auto& [fieldName, value] : config.Fields)
        body.AddField(fieldName, value);
    body.AddFile(name, bytes, pictureLength, config.FileFieldName);
    body.End();
    // A remark, a field or the picture itself may hold the delimiter; the body and the
    // Content-Type then carry a boundary found nowhere in the parts.
    header.SetBoundary(body.ChooseBoundary());
    headerText = header.GetHeaderText();
    return "";
}
