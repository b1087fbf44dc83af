#include "IdleExit.h"

#include <algorithm>

namespace {
// How often the host looks: a tenth of the limit, between one and thirty seconds.
std::chrono::seconds Step(std::chrono::seconds limit)
{
    return std::clamp(limit / 10, std::chrono::seconds(1), std::chrono::seconds(30));
}
} // namespace

IdleExit::IdleExit(boost::asio::io_context& io, const HostContext& host, std::chrono::seconds limit)
    : io(io), host(host), limit(limit), timer(io), lastBusy(std::chrono::steady_clock::now())
{
}

void IdleExit::Start()
{
    if (limit.count() == 0)
        return;
    lastBusy = std::chrono::steady_clock::now();
    Check();
}

void IdleExit::Check()
{
    const auto now = std::chrono::steady_clock::now();
    if (host.slots.Open() > 0)
        lastBusy = now;
    const auto idleSince = std::max(lastBusy, host.lastRequest);
    if (now - idleSince >= limit) {
        io.stop();
        return;
    }
    const auto left = std::chrono::duration_cast<std::chrono::steady_clock::duration>(limit - (now - idleSince));
    timer.expires_after(std::min<std::chrono::steady_clock::duration>(Step(limit), left));
    timer.async_wait([this](boost::system::error_code error) {
        if (!error)
            Check();
    });
}
