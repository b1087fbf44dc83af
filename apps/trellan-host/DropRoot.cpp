#include "DropRoot.h"

#include "SessionFolder.h"

#include "Platform/Files/FolderLock.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool MakePrivateFolder(const std::string& root, std::string& error)
{
    if (mkdir(root.c_str(), 0700) != 0 && errno != EEXIST) {
        error = "cannot make the folder " + root + ": " + std::strerror(errno);
        return false;
    }
    struct stat info {};
    if (lstat(root.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != geteuid()) {
        error = root + " is not a folder of this user's own; remove it or set XDG_RUNTIME_DIR";
        return false;
    }
    if ((info.st_mode & 077) != 0 && chmod(root.c_str(), 0700) != 0) {
        error = "cannot make " + root + " private: " + std::strerror(errno);
        return false;
    }
    return true;
}

void RemoveAbandoned(const std::string& root)
{
    const Platform::FolderLock lock(root);
    if (!lock.Held())
        return;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(root, error)) {
        const std::string name = entry.path().filename().string();
        if (!SessionFolder::IsSessionName(name) || !entry.is_directory(error) || entry.is_symlink(error))
            continue;
        if (SessionFolder::IsAbandoned(entry.path().string()))
            std::filesystem::remove_all(entry.path(), error);
    }
}

} // namespace

bool PrepareDropRoot(const std::string& root, std::string& error)
{
    if (!MakePrivateFolder(root, error))
        return false;
    RemoveAbandoned(root);
    return true;
}
