#pragma once
// What a per-file event refers to: the list item showing the file and its record.

#include <memory>
#include <string>

class ImageData;
class UploadItem;

struct MsgData {
    UploadItem* item = nullptr;
    std::shared_ptr<ImageData> file;
    int id = 0;
    // Why the upload failed, for a "post_error" event; empty otherwise.
    std::string reason;
};
