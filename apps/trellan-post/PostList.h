#pragma once
// The files of the command line as the upload list.

#include "Biz/ImageData.h"
#include "Biz/UploadItem.h"
#include "Biz/UploadList.h"

#include <memory>
#include <string>
#include <vector>

class PostItem : public UploadItem {
public:
    explicit PostItem(const std::wstring& path) : file(std::make_shared<ImageData>(path)) {}
    std::shared_ptr<ImageData> File() const override { return file; }

private:
    std::shared_ptr<ImageData> file;
};

class PostList : public UploadList {
public:
    // One item per path, in the paths' order. Records are cheap to make: each picture
    // is read by the upload thread that sends it.
    explicit PostList(const std::vector<std::wstring>& paths);

    std::size_t Size() const { return items.size(); }
    std::vector<UploadItem*> UploadItems() const override
    {
        std::vector<UploadItem*> list;
        for (const auto& item : items)
            list.push_back(item.get());
        return list;
    }

private:
    std::vector<std::unique_ptr<PostItem>> items;
};
