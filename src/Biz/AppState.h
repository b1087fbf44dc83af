#pragma once
// Whether an upload task runs: 0 idle, 1 uploading, 2 ended.

#include "Biz/Threading/CriticalSection.h"

#include <atomic>
#include <cstdint>

class AppState {
public:
    static constexpr std::int32_t Idle = 0;
    static constexpr std::int32_t Uploading = 1;
    static constexpr std::int32_t Ended = 2;

    virtual ~AppState() = default;
    static AppState& Instance();

    void SetUploading();
    void SetEnded();
    // Back to idle for a control that comes after one that went away mid-task.
    void Reset();
    bool IsUploading() const { return state.load(std::memory_order_relaxed) == Uploading; }
    std::int32_t State() const { return state.load(std::memory_order_relaxed); }
    // How many tasks SetUploading started: tells what joined the running task from
    // what was added while it runs.
    std::uint32_t TaskNumber() const { return taskNumber.load(std::memory_order_relaxed); }

private:
    AppState() = default;

    // Written under the lock, read without it.
    std::atomic<std::int32_t> state{Idle};
    std::atomic<std::uint32_t> taskNumber{0};
    Zivoro::Threading::CriticalSection lock;
};
