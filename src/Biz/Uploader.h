#pragma once
// One upload job: a file of the list, the worker slot it runs in, and the task's stop
// flag and configuration. Held by shared ownership; the upload thread holds the last
// reference and the job goes away when its exchange is over.

#include "Platform/Signal.h"

#include <atomic>
#include <cstdint>
#include <memory>

class AppConfig;
class ImageData;
class UploadItem;
class UploadPermission;
class WireGate;

namespace Zivoro::Threading {
class ManualResetEvent;
}

class Uploader {
public:
    std::shared_ptr<ImageData> file;
    // The list item showing the file; not owned.
    UploadItem* item = nullptr;
    // Set when the job is over, which returns the slot to the task.
    std::shared_ptr<Zivoro::Threading::ManualResetEvent> slot;
    std::shared_ptr<std::atomic<bool>> stopFlag;
    // The task's gate to the wire and this job's turn at it.
    std::shared_ptr<WireGate> wire;
    std::uint64_t wireTicket = 0;
    // The configuration as it was when the task started.
    std::shared_ptr<const AppConfig> config;
    // The task's one decision on where its posts may go.
    std::shared_ptr<UploadPermission> permission;
    // The event queue's epoch at task start; posts of a control that has gone are dropped.
    std::uint64_t epoch = 0;

    // Raised on the upload thread: exactly one of succeeded and failed, then finished.
    Platform::Signal<void()> finished;
    Platform::Signal<void()> failed;
    Platform::Signal<void()> succeeded;
};
