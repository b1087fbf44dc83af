#pragma once
// What a per-file event refers to: the list item showing the file and its record.

#include <memory>

class ImageData;
class UploadItem;

struct MsgData {
    UploadItem* item = nullptr;
    std::shared_ptr<ImageData> file;
    int id = 0;
};
