#include "Biz/ImageData.h"

#include "Imaging/RasterIOFile.h"
#include "Imaging/RasterImage.h"
#include "Platform/Files/FileStatus.h"
#include "Platform/Gdiplus/Bitmap.h"
#include "Platform/Text/TextConv.h"

#include <boost/random/mersenne_twister.hpp>
#include <boost/uuid/random_generator.hpp>
#include <boost/uuid/uuid_io.hpp>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <cwctype>

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

// The Exif DateTimeOriginal of a JPEG file, read as the camera's local time; fallback
// when the file has none.
std::int64_t ShotTimeOf(const std::wstring& path, std::int64_t fallback)
{
    RasterIOFile file;
    RasterImage::ExifInfo info;
    if (!file.Open(path, "rb") || !RasterImage::GetExifInfo(file, info) || info.dateTimeOriginal.empty())
        return fallback;
    std::tm parts{};
    if (std::sscanf(info.dateTimeOriginal.c_str(), "%4d:%2d:%2d %2d:%2d:%2d", &parts.tm_year, &parts.tm_mon,
                    &parts.tm_mday, &parts.tm_hour, &parts.tm_min, &parts.tm_sec) != 6)
        return fallback;
    parts.tm_year -= 1900;
    parts.tm_mon -= 1;
    parts.tm_isdst = -1;
    const std::time_t seconds = std::mktime(&parts);
    return seconds == static_cast<std::time_t>(-1) ? fallback : std::int64_t{seconds} * 1000000000;
}

// The picture turned as asked; the picture itself when it cannot be turned (it has
// no pixels).
PictureHandle TurnedOrSame(const PictureHandle& picture, int quarterTurns)
{
    if (!picture || quarterTurns % 4 == 0)
        return picture;
    PictureHandle turned = picture->TurnedOpaque(quarterTurns);
    return turned ? turned : picture;
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
    Platform::FileStatus status;
    if (Platform::ReadFileStatus(path, status) && status.regular) {
        fileSize = status.size;
        fileTime = status.ownTime;
    }
    shotTime = fileTime;
}

PictureHandle ImageData::Picture() const
{
    std::lock_guard guard(lock);
    return picture;
}

PictureHandle ImageData::Thumbnail() const
{
    std::lock_guard guard(lock);
    return thumbnail;
}

namespace {

std::atomic<double> screenScale{1.0};

int Scaled(int logical, double scale)
{
    return std::max(1, static_cast<int>(std::lround(logical * scale)));
}

} // namespace

void ImageData::SetScreenScale(double scale)
{
    screenScale.store(std::isfinite(scale) && scale > 0 ? scale : 1.0);
}

double ImageData::ScreenScale()
{
    return screenScale.load();
}

double ImageData::ThumbnailScale() const
{
    std::lock_guard guard(lock);
    return thumbnailScale;
}

bool ImageData::IsLoaded() const
{
    std::lock_guard guard(lock);
    return loaded;
}

bool ImageData::NeedsLoad() const
{
    std::lock_guard guard(lock);
    return !loaded || ThumbnailOutOfScale();
}

bool ImageData::ThumbnailOutOfScale() const
{
    // An edited picture's thumbnail was fitted to its tile's box: it stays as made.
    return thumbnail && !userEdited && thumbnailScale != ScreenScale();
}

std::int64_t ImageData::ShotTime() const
{
    std::lock_guard guard(lock);
    return shotTime;
}

void ImageData::Load()
{
    int turns = 0;
    PictureHandle held;
    {
        std::lock_guard guard(lock);
        if (loaded && ThumbnailOutOfScale())
            held = picture;
        else if (loaded)
            return;
        turns = pendingTurns;
    }
    if (held) {
        RemakeThumbnail(held);
        return;
    }
    PictureHandle read = TurnedOrSame(LoadPictureFile(path), turns);
    PictureHandle small;
    const double scale = ScreenScale();
    if (read && read->GetFrameDimensionsCount() > 0)
        small = MakeThumbnail(read, Scaled(ThumbnailBox, scale), Scaled(ThumbnailBox, scale));
    const std::int64_t taken = ShotTimeOf(path, fileTime);

    std::lock_guard guard(lock);
    if (loaded)
        return;
    // Turns the user asked for while the file was being read.
    picture = TurnedOrSame(read, pendingTurns - turns);
    thumbnail = TurnedOrSame(small, pendingTurns - turns);
    thumbnailScale = scale;
    shotTime = taken;
    loaded = true;
}

void ImageData::RemakeThumbnail(const PictureHandle& from)
{
    const double scale = ScreenScale();
    PictureHandle small;
    if (from->GetFrameDimensionsCount() > 0)
        small = MakeThumbnail(from, Scaled(ThumbnailBox, scale), Scaled(ThumbnailBox, scale));
    std::lock_guard guard(lock);
    // A picture turned or replaced meanwhile brought its own thumbnail.
    if (small && picture == from) {
        thumbnail = std::move(small);
        thumbnailScale = scale;
    }
}

void ImageData::Turn(int quarterTurns, int boxWidth, int boxHeight)
{
    PictureHandle current, currentThumbnail;
    double scale = 1.0;
    {
        std::lock_guard guard(lock);
        if (!loaded) {
            ++changes;
            pendingTurns = (pendingTurns + quarterTurns) % 4;
            turns = ((turns + quarterTurns) % 4 + 4) % 4;
            return;
        }
        current = picture;
        currentThumbnail = thumbnail;
        scale = thumbnailScale;
    }
    if (!current || current->GetFrameDimensionsCount() == 0 || !currentThumbnail)
        return;
    // Only the control's thread changes a loaded record, so the turn is made outside
    // the lock and readers are not kept waiting.
    PictureHandle turned = current->TurnedOpaque(quarterTurns);
    PictureHandle turnedThumbnail = currentThumbnail->TurnedOpaque(quarterTurns);
    // A turned thumbnail is new pixels of its own: only one that leaves the box is made again.
    if (turnedThumbnail && (static_cast<int>(turnedThumbnail->GetWidth()) > Scaled(boxWidth, scale) ||
                            static_cast<int>(turnedThumbnail->GetHeight()) > Scaled(boxHeight, scale)))
        turnedThumbnail = MakeFittedThumbnail(turnedThumbnail, Scaled(boxWidth, scale), Scaled(boxHeight, scale));
    if (!turned || !turnedThumbnail)
        return;
    std::lock_guard guard(lock);
    picture = std::move(turned);
    thumbnail = std::move(turnedThumbnail);
    // The scale it was made at: a loader may have made a thumbnail at another meanwhile.
    thumbnailScale = scale;
    turns = ((turns + quarterTurns) % 4 + 4) % 4;
    ++changes;
}

std::uint32_t ImageData::ChangeCount() const
{
    std::lock_guard guard(lock);
    return changes;
}

int ImageData::QuarterTurns() const
{
    std::lock_guard guard(lock);
    return turns;
}

void ImageData::ReplacePicture(PictureHandle edited, PictureHandle editedThumbnail, double editedThumbnailScale)
{
    std::lock_guard guard(lock);
    picture = std::move(edited);
    thumbnail = std::move(editedThumbnail);
    thumbnailScale = editedThumbnailScale;
    loaded = true;
    userEdited = true;
    ++changes;
}

bool ImageData::IsUnchanged() const
{
    std::lock_guard guard(lock);
    return !userEdited && turns == 0;
}

PictureHandle ImageData::PictureToSend() const
{
    int turnsAsked = 0;
    {
        std::lock_guard guard(lock);
        if (loaded)
            return picture;
        turnsAsked = pendingTurns;
    }
    return TurnedOrSame(LoadPictureFile(path), turnsAsked);
}
