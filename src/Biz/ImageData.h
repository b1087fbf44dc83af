#pragma once
// The upload file record: one per photo, always held by std::shared_ptr and shared by
// the list tile, the list's loader, an upload job in flight and the task's success list.
//
// Making a record is cheap: it reads only the names and the file's size. The picture
// and its thumbnail are read later by Load, on a loader thread for the list or on the
// upload thread when a file is sent before the loader reached it.

#include "Imaging/Picture.h"

#include <json/value.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

class ImageData {
public:
    // Fills the cheap fields in a fixed order: svr, id, the upload counters, extension
    // and format, fileName and remark, path, fileSize. Safe on several threads at once.
    explicit ImageData(const std::wstring& path);
    ImageData(const ImageData&) = delete;
    ImageData& operator=(const ImageData&) = delete;

    static constexpr int ThumbnailBox = 120;

    // Who may touch what. Fields set by the constructor and never written again are
    // read on any thread without a lock.
    std::string id; // 32 lowercase hex digits of a random version-4 UUID; constant
    // Null until a reply was parsed. Written only by the upload thread of this file's
    // job while it runs; read on the control's thread after "task_end", which the task
    // posts once every job has finished (the event queue's lock orders the two).
    Json::Value svr;
    std::wstring path; // constant
    // The caption: written on the control's thread, and only while no task runs (the
    // tiles cannot be edited from StartTask to "task_end"); an upload thread reads it.
    std::wstring remark;
    std::wstring fileName, extension, format; // constant
    std::int64_t fileSize = 0; // constant
    // The file's own time, in nanoseconds since 1970: when it was made where the file
    // system records that, else when it was last modified; 0 when it cannot be read.
    // Constant: read with the size, in the same call.
    std::int64_t fileTime = 0;
    // Written by the upload thread of this file's job, and set to 0 by the control's
    // thread when a task starts (no job of this file runs then); read by the control's
    // thread to show progress.
    std::atomic<std::int64_t> uploadSize{0};
    std::atomic<std::int64_t> sentBytes{0};

    // The picture and its thumbnail; null until loaded. A file that cannot be read
    // loads as a 0 x 0 picture without thumbnail. Any thread.
    PictureHandle Picture() const;
    PictureHandle Thumbnail() const;
    // True once the picture was read, or the user turned or replaced it.
    bool IsLoaded() const;
    // True until the picture was read, and again when the screen's scale is not the
    // one the file's thumbnail was made at (Load makes it again). Any thread.
    bool NeedsLoad() const;
    // When the photo was taken (its Exif DateTimeOriginal, in the camera's local time),
    // in nanoseconds since 1970; the file's time when the photo does not say, or its
    // Exif block has not been read yet (Load reads it). Any thread.
    std::int64_t ShotTime() const;

    // Thumbnails are made for the screen's device pixels: their box times this scale
    // (set on the control's thread from the list's surface, read by loader threads).
    static void SetScreenScale(double scale);
    static double ScreenScale();
    // Device pixels per logical pixel of the thumbnail held now: it shows at its size
    // divided by this. Any thread.
    double ThumbnailScale() const;

    // Reads the picture, its Exif time and makes its thumbnail for a 120 x 120 box at
    // the screen's scale unless the record is loaded; a loaded record whose thumbnail
    // was made from the file at another scale gets a new one from its picture.
    // The file is read outside the lock; a record filled meanwhile, by another thread
    // or by the user, keeps what it holds. Any thread.
    void Load();

    // The user's quarter turns (clockwise; negative counts turn counter-clockwise).
    // A loaded picture is turned at once, without decoding it, and its thumbnail is
    // turned and kept inside the box; a record not loaded yet keeps the turns for
    // Load. A picture that cannot be read is not turned.
    void Turn(int quarterTurns, int boxWidth, int boxHeight);
    // The user's quarter turns so far, clockwise, as 0 to 3.
    int QuarterTurns() const;
    // Counts the user's changes to the picture (turns and edits): a view can tell
    // whether the picture changed since it last looked. Any thread.
    std::uint32_t ChangeCount() const;
    // The user's edited picture and its thumbnail, made at thumbnailScale, take the
    // place of the record's.
    void ReplacePicture(PictureHandle edited, PictureHandle editedThumbnail, double thumbnailScale = 1.0);
    // True while the picture is the file's own: never edited, and turned by whole
    // turns only (none). Any thread.
    bool IsUnchanged() const;
    // The picture an upload sends: the record's once loaded, else read from the file
    // (its header; pixels when encoded) and turned as the user asked, without keeping
    // it or making a thumbnail, which stay the list loader's work. Any thread.
    PictureHandle PictureToSend() const;

private:
    bool ThumbnailOutOfScale() const; // with lock held
    void RemakeThumbnail(const PictureHandle& from);

    mutable std::mutex lock; // guards the eight fields below
    PictureHandle picture, thumbnail;
    double thumbnailScale = 1.0;
    std::int64_t shotTime = 0;
    bool loaded = false;
    bool userEdited = false; // the user's edited picture replaced the file's
    int pendingTurns = 0; // turns asked for before the picture was read
    int turns = 0; // every turn asked for and taken, as 0 to 3
    std::uint32_t changes = 0;
};
