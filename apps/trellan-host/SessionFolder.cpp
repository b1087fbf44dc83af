#include "SessionFolder.h"

#include "Platform/Files/FolderLock.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t kNameBytes = 16;

bool RandomName(std::string& name)
{
    unsigned char bytes[kNameBytes];
    if (getrandom(bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes))
        return false;
    static const char digits[] = "0123456789abcdef";
    name.clear();
    for (unsigned char byte : bytes) {
        name += digits[byte >> 4];
        name += digits[byte & 15];
    }
    return true;
}

int OpenLock(const std::string& folder, int flags)
{
    return open((folder + "/" + SessionFolder::kLockName).c_str(), flags | O_RDWR | O_NOFOLLOW | O_CLOEXEC, 0600);
}

} // namespace

bool SessionFolder::IsSessionName(const std::string& name)
{
    return name.size() == 2 * kNameBytes && std::all_of(name.begin(), name.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

std::unique_ptr<SessionFolder> SessionFolder::Create(const std::string& root, std::string& error)
{
    // Under the root's lock, so a starting host never sees the folder before its lock is held.
    const Platform::FolderLock rootLock(root);
    std::string name;
    if (!rootLock.Held() || !RandomName(name)) {
        error = "cannot use the folder " + root;
        return nullptr;
    }
    const std::string path = root + "/" + name;
    if (mkdir(path.c_str(), 0700) != 0) {
        error = "cannot make a session folder in " + root + ": " + std::strerror(errno);
        return nullptr;
    }
    const int lock = OpenLock(path, O_CREAT | O_EXCL);
    if (lock < 0 || flock(lock, LOCK_EX | LOCK_NB) != 0) {
        error = "cannot lock the session folder " + path + ": " + std::strerror(errno);
        if (lock >= 0)
            close(lock);
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
        return nullptr;
    }
    return std::unique_ptr<SessionFolder>(new SessionFolder(path, lock));
}

bool SessionFolder::IsAbandoned(const std::string& folder)
{
    const int lock = OpenLock(folder, 0);
    if (lock < 0)
        return errno == ENOENT; // made under the root's lock with its lock file, so never half made by a live host
    const bool free = flock(lock, LOCK_EX | LOCK_NB) == 0;
    close(lock);
    return free;
}

SessionFolder::~SessionFolder()
{
    {
        // Sessions measure the root under its lock, so none sees the folder half removed.
        const Platform::FolderLock rootLock(std::filesystem::path(path).parent_path().string());
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    close(lock);
}
