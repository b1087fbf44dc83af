#pragma once
// The items and records whose upload succeeded in the current task, in the order of
// their success. Upload threads record; the control's thread reads after the task.

#include <memory>
#include <mutex>
#include <vector>

class ImageData;
class UploadItem;

class UploadResults {
public:
    void Clear();
    void Record(UploadItem* item, std::shared_ptr<ImageData> file);
    std::vector<UploadItem*> Items() const;
    std::vector<std::shared_ptr<ImageData>> Files() const;

private:
    mutable std::mutex lock;
    std::vector<UploadItem*> items;
    std::vector<std::shared_ptr<ImageData>> files;
};
