#include "Biz/UploadTask.h"

#include "Biz/AppConfig.h"
#include "Biz/EventQueue.h"
#include "Biz/PostFile.h"
#include "Biz/UploadPermission.h"
#include "Biz/UploadResults.h"
#include "Biz/Uploader.h"
#include "Biz/WireGate.h"

#include <algorithm>
#include <system_error>
#include <thread>

UploadTask::UploadTask(std::deque<Entry> queue, std::shared_ptr<const AppConfig> config,
                       std::shared_ptr<std::atomic<bool>> stopFlag, std::shared_ptr<UploadResults> results,
                       std::uint64_t epoch)
    : queue(std::move(queue)), config(std::move(config)), stopFlag(std::move(stopFlag)), results(std::move(results)),
      permission(std::make_shared<UploadPermission>(this->config)), epoch(epoch)
{
}

int UploadTask::SlotCount(int threadCount)
{
    return std::clamp(threadCount, 1, 10);
}

void UploadTask::Run()
{
    // One upload more than may send: its body is prepared while the others are on
    // the wire, so a place that frees is taken at once. Each job holds one body.
    const int sending = SlotCount(config->ThreadCount);
    wire = std::make_shared<WireGate>(sending);
    slots.slotFreed.connect([this] { StartNext(); });
    slots.Open(sending + 1);
    if (!stopFlag->load()) {
        for (;;) {
            slots.WaitAny();
            if (queue.empty() || stopFlag->load()) {
                slots.WaitAllReturned();
                break;
            }
        }
    }
    // The files a stop kept from being sent are reported as such, before the end.
    for (const Entry& entry : queue)
        PostFile::ReportNotSent(entry.item, entry.file, epoch);
    queue.clear();
    EventQueue& events = EventQueue::Instance();
    events.Post("task_end", 0, epoch);
    // A stopped task still reports the files the server accepted before the stop, as a
    // task whose other files failed does; the page would never learn of them otherwise.
    if (!stopFlag->load() || !results->Files().empty())
        events.Post("task_complete", 0, epoch);
}

void UploadTask::StartNext()
{
    // After a stop no file is started: the files still queued stay in the list, and a
    // cancelled task never counts as having handed out every file.
    if (queue.empty() || stopFlag->load())
        return;
    const Entry entry = queue.front();
    queue.pop_front();

    auto job = std::make_shared<Uploader>();
    job->slot = slots.TakeSlot();
    job->stopFlag = stopFlag;
    job->wire = wire;
    job->wireTicket = wire->Issue();
    job->file = entry.file;
    job->item = entry.item;
    job->config = config;
    job->permission = permission;
    job->epoch = epoch;
    job->succeeded.connect([results = results, entry] { results->Record(entry.item, entry.file); });
    try {
        std::thread([job] { PostFile(job).Run(); }).detach();
    } catch (const std::system_error&) {
        PostFile(job).Abandon();
    }
}
