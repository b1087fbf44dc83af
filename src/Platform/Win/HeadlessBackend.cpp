#include "Platform/Win/HeadlessBackend.h"

#include "Platform/Text/TextConv.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>

namespace Platform {
namespace {

class ConditionWaiter : public Waiter {
public:
    void Wait(int timeoutMs) override
    {
        std::unique_lock lock(mutex);
        if (timeoutMs < 0)
            woken.wait(lock, [this] { return pending; });
        else
            woken.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return pending; });
        pending = false;
    }

    void Wake() override
    {
        {
            std::lock_guard lock(mutex);
            pending = true;
        }
        woken.notify_one();
    }

private:
    std::mutex mutex;
    std::condition_variable woken;
    bool pending = false;
};

} // namespace

std::unique_ptr<Waiter> HeadlessBackend::CreateWaiter()
{
    return std::make_unique<ConditionWaiter>();
}

int HeadlessBackend::ShowMessageBox(const std::wstring& text, const std::wstring& caption, UINT)
{
    std::fprintf(stderr, "[%s] %s\n", WideToUtf8(caption).c_str(), WideToUtf8(text).c_str());
    return IDOK;
}

} // namespace Platform
