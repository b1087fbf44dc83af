#include "Platform/Threads/ThreadPriority.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace Platform {

void LowerCurrentThreadPriority()
{
    // On Linux a nice value set for a thread id applies to that thread alone.
    constexpr int BelowNormal = 10;
    const auto thread = static_cast<id_t>(syscall(SYS_gettid));
    setpriority(PRIO_PROCESS, thread, BelowNormal);
}

} // namespace Platform
