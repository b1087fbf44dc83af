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

    std::string id;   // 32 lowercase hex digits of a random version-4 UUID
    Json::Value svr;  // null until a reply was parsed
    std::wstring path, remark, fileName, extension, format;
    std::int32_t fileSize = 0;
    std::atomic<std::int32_t> uploadSize{0}; // written by an upload thread, read by the control's thread
    std::atomic<std::int32_t> sentBytes{0};
    PictureHandle picture, thumbnail;
};
