#pragma once
// What the upload engine needs of the upload list: its items in list order.

#include <vector>

class UploadItem;

class UploadList {
public:
    virtual ~UploadList() = default;
    // Called on the control's thread when a task starts; the items stay owned by the
    // list and must live until the task's "task_end" has been handled.
    virtual std::vector<UploadItem*> UploadItems() const = 0;
};
