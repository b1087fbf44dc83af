#pragma once
// The process-wide upload task runner. The control gives it the upload list once;
// the upload button starts a task over the list's items as they are at that moment,
// the cancel button stops it. One task runs at a time.

#include <atomic>
#include <memory>
#include <vector>

class ImageData;
class UploadItem;
class UploadList;
class UploadResults;

class UploadManager {
public:
    static UploadManager& Instance();
    UploadManager();

    // The control's thread. A null list gives tasks without files.
    void SetOwner(UploadList* list);
    // The control's thread. Takes the list's items and a copy of the configuration,
    // starts the task thread and returns at once; false (and nothing started) while
    // another task runs. A task thread that cannot be started posts "task_end".
    bool StartTask();
    // Any thread: running uploads end at once and no further file is started.
    void Stop();
    bool IsRunning() const { return running->load(); }

    // Read on the control's thread after "task_end" / "task_complete".
    std::vector<UploadItem*> succeededItems() const;
    std::vector<std::shared_ptr<ImageData>> succeededFiles() const;

private:
    UploadList* owner = nullptr;
    std::shared_ptr<std::atomic<bool>> stopFlag;
    std::shared_ptr<std::atomic<bool>> running;
    std::shared_ptr<UploadResults> results;
};
