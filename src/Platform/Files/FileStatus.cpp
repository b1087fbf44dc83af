#include "Platform/Files/FileStatus.h"

#include "Platform/Text/TextConv.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace Platform {
namespace {

std::int64_t Nanoseconds(const struct statx_timestamp& time)
{
    return time.tv_sec * std::int64_t{1000000000} + time.tv_nsec;
}

} // namespace

bool ReadFileStatus(const std::wstring& path, FileStatus& status)
{
    struct statx info {};
    if (statx(AT_FDCWD, WideToPath(path).c_str(), AT_STATX_SYNC_AS_STAT, STATX_BASIC_STATS | STATX_BTIME, &info) != 0)
        return false;
    status.regular = (info.stx_mask & STATX_TYPE) && S_ISREG(info.stx_mode);
    status.size = static_cast<std::int64_t>(info.stx_size);
    status.ownTime = Nanoseconds((info.stx_mask & STATX_BTIME) ? info.stx_btime : info.stx_mtime);
    return true;
}

} // namespace Platform
