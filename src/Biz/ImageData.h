#pragma once
// The upload file record: one per photo, always held by std::shared_ptr and shared by
// the list tile, an upload job in flight and the task's success list.

#include "Imaging/Picture.h"

#include <json/value.h>

#include <atomic>
#include <cstdint>
#include <string>

class ImageData {
public:
    // Fills the record from the file in a fixed order: svr, id, the upload counters,
    // extension and format, fileName and remark, path, fileSize, picture, thumbnail.
    // A file that cannot be read still gives a record, with a 0 x 0 picture and no
    // thumbnail. Safe to call from several threads at once.
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
    std::int32_t fileSize = 0;                // constant
    // Written by the upload thread of this file's job; read by the control's thread
    // to show progress.
    std::atomic<std::int32_t> uploadSize{0};
    std::atomic<std::int32_t> sentBytes{0};
    // Replaced only on the control's thread under the tile's lock, and never while a
    // task runs; the upload thread reads picture without a lock.
    PictureHandle picture, thumbnail;
};
