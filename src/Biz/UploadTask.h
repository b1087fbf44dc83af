#pragma once
// One upload task, run on its own thread: sends each file of its queue once, in
// order, on one thread per file with at most ThreadCount sending at once and one
// more preparing its body meanwhile, then posts
// "task_end" and "task_complete"; a stopped task posts "task_complete" only when the
// server accepted at least one of its files.

#include "Biz/WorkerSlots.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>

class AppConfig;
class ImageData;
class UploadItem;
class UploadPermission;
class UploadResults;
class WireGate;

class UploadTask {
public:
    struct Entry {
        UploadItem* item = nullptr;
        std::shared_ptr<ImageData> file;
    };

    UploadTask(std::deque<Entry> queue, std::shared_ptr<const AppConfig> config,
               std::shared_ptr<std::atomic<bool>> stopFlag, std::shared_ptr<UploadResults> results,
               std::uint64_t epoch);

    // The task thread's work; returns when every upload it started has finished.
    void Run();

    // Uploads at once for a configured ThreadCount: at least 1 (fewer would never
    // start anything) and at most 10.
    static int SlotCount(int threadCount);

private:
    void StartNext();

    std::deque<Entry> queue;
    std::shared_ptr<const AppConfig> config;
    std::shared_ptr<std::atomic<bool>> stopFlag;
    std::shared_ptr<UploadResults> results;
    std::shared_ptr<UploadPermission> permission;
    std::uint64_t epoch;
    std::shared_ptr<WireGate> wire;
    WorkerSlots slots;
};
