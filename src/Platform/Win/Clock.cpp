#include "Platform/Win/Clock.h"

#include <atomic>
#include <chrono>

namespace Platform {
namespace {

const auto clockStart = std::chrono::steady_clock::now();
std::atomic<bool> manual{false};
std::atomic<std::uint64_t> manualNow{0};

std::uint64_t SystemMilliseconds()
{
    return static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - clockStart).count());
}

} // namespace

std::uint64_t GetTickCount64()
{
    return manual ? manualNow.load() : SystemMilliseconds();
}

DWORD GetTickCount()
{
    return static_cast<DWORD>(GetTickCount64());
}

void UseManualClock()
{
    manualNow = SystemMilliseconds();
    manual = true;
}

void AdvanceManualClock(std::uint64_t milliseconds)
{
    manualNow += milliseconds;
}

void UseSystemClock()
{
    manual = false;
}

} // namespace Platform
