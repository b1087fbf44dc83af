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
    bool IsUploading() const { return state.load(std::memory_order_relaxed) == Uploading; }
    std::int32_t State() const { return state.load(std::memory_order_relaxed); }

private:
    AppState() = default;

    // Written under the lock, read without it.
    std::atomic<std::int32_t> state{Idle};
    Zivoro::Threading::CriticalSection lock;
};
