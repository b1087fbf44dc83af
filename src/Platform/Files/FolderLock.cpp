#include "Platform/Files/FolderLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace Platform {

FolderLock::FolderLock(const std::string& folder)
{
    descriptor = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (descriptor < 0)
        return;
    int status;
    while ((status = flock(descriptor, LOCK_EX)) != 0 && errno == EINTR) {}
    if (status != 0) {
        close(descriptor);
        descriptor = -1;
    }
}

FolderLock::~FolderLock()
{
    if (descriptor >= 0)
        close(descriptor);
}

} // namespace Platform
