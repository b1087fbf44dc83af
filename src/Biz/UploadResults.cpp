#include "Biz/UploadResults.h"

void UploadResults::Clear()
{
    std::lock_guard guard(lock);
    items.clear();
    files.clear();
}

void UploadResults::Record(UploadItem* item, std::shared_ptr<ImageData> file)
{
    std::lock_guard guard(lock);
    items.push_back(item);
    files.push_back(std::move(file));
}

std::vector<UploadItem*> UploadResults::Items() const
{
    std::lock_guard guard(lock);
    return items;
}

std::vector<std::shared_ptr<ImageData>> UploadResults::Files() const
{
    std::lock_guard guard(lock);
    return files;
}
