#include "Biz/Log/LogFolder.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string HomeFolder()
{
    if (const char* home = std::getenv("HOME"); home && *home == '/')
        return home;
    const passwd* user = getpwuid(getuid());
    return user && user->pw_dir ? user->pw_dir : "/";
}

// mkdir -p with the folder private to the user; an existing folder is kept as it is.
bool MakeFolders(const std::string& path)
{
    for (std::string::size_type at = path.find('/', 1); at != std::string::npos; at = path.find('/', at + 1)) {
        if (mkdir(path.substr(0, at).c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    return mkdir(path.c_str(), 0700) == 0 || errno == EEXIST;
}

} // namespace

std::string LogFolder::Path()
{
    // XDG_STATE_HOME counts only as an absolute path; anything else is ignored, as desktops do.
    const char* state = std::getenv("XDG_STATE_HOME");
    const std::string base = state && *state == '/' ? state : HomeFolder() + "/.local/state";
    return base + "/trellan/logs";
}

std::string LogFolder::FileName(const std::string& requested)
{
    const std::string::size_type separator = requested.find_last_of("/\\");
    std::string name = separator == std::string::npos ? requested : requested.substr(separator + 1);
    if (name.empty() || name == "." || name == ".." || name.find('\0') != std::string::npos)
        return {};
    return name;
}

int LogFolder::OpenFile(const std::string& requested)
{
    const std::string name = FileName(requested);
    if (name.empty()) {
        errno = EINVAL;
        return -1;
    }
    const std::string folder = Path();
    if (!MakeFolders(folder))
        return -1;
    const int folderFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0)
        return -1;
    // O_NONBLOCK: a FIFO planted under the name must not hold the page's call.
    const int fd =
        openat(folderFd, name.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0600);
    const int openError = errno;
    close(folderFd);
    if (fd < 0) {
        errno = openError;
        return -1;
    }
    // Only a regular file with no other name is ours to empty: a hard link would lead
    // to a file elsewhere as surely as a symbolic one.
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_nlink != 1 || ftruncate(fd, 0) != 0) {
        close(fd);
        errno = EPERM;
        return -1;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}
