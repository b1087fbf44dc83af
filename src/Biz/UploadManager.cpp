#include "Biz/UploadManager.h"

#include "Biz/AppConfig.h"
#include "Biz/EventQueue.h"
#include "Biz/ImageData.h"
#include "Biz/UploadItem.h"
#include "Biz/UploadList.h"
#include "Biz/UploadResults.h"
#include "Biz/UploadTask.h"

#include <system_error>
#include <thread>

UploadManager& UploadManager::Instance()
{
    static UploadManager* instance = new UploadManager();
    return *instance;
}

UploadManager::UploadManager()
    : stopFlag(std::make_shared<std::atomic<bool>>(false)), running(std::make_shared<std::atomic<bool>>(false)),
      results(std::make_shared<UploadResults>())
{
}

void UploadManager::SetOwner(UploadList* list)
{
    owner = list;
}

bool UploadManager::StartTask()
{
    if (running->exchange(true))
        return false;
    results->Clear();
    stopFlag->exchange(false);

    std::deque<UploadTask::Entry> queue;
    if (owner) {
        for (UploadItem* item : owner->UploadItems()) {
            std::shared_ptr<ImageData> file = item->File();
            // A file that failed in the last task starts this one at 0, not at what
            // it sent then, while it waits for its turn.
            if (file)
                file->sentBytes = 0;
            queue.push_back({item, std::move(file)});
        }
    }
    // The task works on the configuration as it is now, whatever the page sends later.
    auto config = std::make_shared<const AppConfig>(AppConfig::Instance());
    const std::uint64_t epoch = EventQueue::Instance().Epoch();
    auto task = std::make_shared<UploadTask>(std::move(queue), std::move(config), stopFlag, results, epoch);
    try {
        std::thread([task, running = running] {
            task->Run();
            running->store(false);
        }).detach();
    } catch (const std::system_error&) {
        running->store(false);
        EventQueue::Instance().Post("task_end", 0, epoch);
        return false;
    }
    return true;
}

void UploadManager::Stop()
{
    stopFlag->exchange(true);
}

std::vector<UploadItem*> UploadManager::succeededItems() const
{
    return results->Items();
}

std::vector<std::shared_ptr<ImageData>> UploadManager::succeededFiles() const
{
    return results->Files();
}
