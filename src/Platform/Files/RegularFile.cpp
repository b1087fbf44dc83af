#include "Platform/Files/RegularFile.h"

#include "Platform/Text/TextConv.h"

#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Platform {
namespace {

// Opens without blocking (a FIFO opens at once for reading; for writing without a
// reader it fails with ENXIO) and keeps the descriptor only for a regular file.
int OpenRegular(const std::wstring& path, int flags)
{
    const int fd = open(WideToPath(path).c_str(), flags | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return -1;
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        errno = kNotRegularFile;
        return -1;
    }
    // Regular files never block; reads behave as usual without the flag.
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

} // namespace

int OpenRegularFileForReading(const std::wstring& path)
{
    return OpenRegular(path, O_RDONLY);
}

bool CanWriteRegularFile(const std::wstring& path)
{
    const int fd = OpenRegular(path, O_WRONLY);
    if (fd >= 0) {
        close(fd);
        return true;
    }
    return errno == ENOENT;
}

std::string FileProblemText(int error)
{
    return error == kNotRegularFile ? "not a regular file" : std::strerror(error);
}

} // namespace Platform
