#pragma once
// What the upload engine needs of an entry of the upload list: the file it shows.
// The list view's tiles implement it; the engine never depends on the interface.

#include <memory>

class ImageData;

class UploadItem {
public:
    virtual ~UploadItem() = default;
    // The item's shared record; read on the control's thread when a task starts.
    virtual std::shared_ptr<ImageData> File() const = 0;
};
