#include "Views/ThumbnailLoader.h"

#include "Biz/ImageData.h"
#include "Platform/Threads/ThreadPriority.h"
#include "Platform/Win/MessageLoop.h"

#include <algorithm>

using namespace Platform;

ThumbnailLoader::ThumbnailLoader(HWND window, UINT readyMessage, UINT finishedMessage, unsigned workerCount,
                                 LoadFunction load)
    : window(window), readyMessage(readyMessage), finishedMessage(finishedMessage),
      workerCount(workerCount > 0 ? workerCount : std::max(std::thread::hardware_concurrency(), 1u)),
      load(load ? std::move(load) : LoadFunction([](ImageData& record) { record.Load(); }))
{
}

ThumbnailLoader::~ThumbnailLoader()
{
    std::vector<std::thread> running;
    {
        std::lock_guard guard(mutex);
        closing = true;
        queue.clear();
        running = std::move(workers);
    }
    wake.notify_all();
    for (std::thread& worker : running)
        worker.join();
}

void ThumbnailLoader::Start(std::vector<Job> jobs)
{
    std::erase_if(jobs, [](const Job& job) { return !job.record || !job.record->NeedsLoad(); });
    {
        std::lock_guard guard(mutex);
        queue.assign(jobs.begin(), jobs.end());
        announce = true;
        while (workers.size() < std::min<std::size_t>(workerCount, queue.size()))
            workers.emplace_back([this] { Work(); });
        if (queue.empty() && busy == 0) {
            announce = false;
            PostMessageW(window, finishedMessage, 0, 0);
            return;
        }
    }
    wake.notify_all();
}

void ThumbnailLoader::Stop()
{
    std::lock_guard guard(mutex);
    queue.clear();
    announce = false;
}

void ThumbnailLoader::Work()
{
    LowerCurrentThreadPriority();
    std::unique_lock guard(mutex);
    for (;;) {
        wake.wait(guard, [this] { return closing || !queue.empty(); });
        if (closing)
            return;
        const Job job = std::move(queue.front());
        queue.pop_front();
        ++busy;
        guard.unlock();
        load(*job.record);
        PostMessageW(window, readyMessage, static_cast<WPARAM>(job.tileId), 0);
        guard.lock();
        --busy;
        Finished();
    }
}

void ThumbnailLoader::Finished()
{
    if (!announce || !queue.empty() || busy > 0)
        return;
    announce = false;
    PostMessageW(window, finishedMessage, 0, 0);
}
