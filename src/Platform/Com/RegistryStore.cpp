#include "Platform/Com/RegistryStore.h"

#include "Platform/Com/RegistryFile.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <system_error>

namespace Platform {

namespace {

namespace fs = std::filesystem;

fs::path UserDataHome()
{
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data == '/')
        return data;
    const char* home = std::getenv("HOME");
    return fs::path(home && *home ? home : "/") / ".local/share";
}

// Closes a file descriptor when it goes; its flock goes with it.
class FileHandle {
public:
    explicit FileHandle(int descriptor) : descriptor(descriptor) {}
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle()
    {
        if (descriptor >= 0)
            ::close(descriptor);
    }
    int Get() const { return descriptor; }

private:
    int descriptor;
};

LSTATUS ErrorFromErrno(int error)
{
    return error == EACCES || error == EPERM || error == EROFS ? ERROR_ACCESS_DENIED : ERROR_WRITE_FAULT;
}

bool WriteAll(int descriptor, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(descriptor, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += static_cast<std::size_t>(written);
    }
    return true;
}

// Writes the hive to a new file beside path and renames it over path.
LSTATUS Replace(const fs::path& path, const RegistryKey& root)
{
    const fs::path temporary = path.string() + ".new." + std::to_string(::getpid());
    const std::string bytes = WriteRegistryFile(root);
    {
        FileHandle file(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
        if (file.Get() < 0)
            return ErrorFromErrno(errno);
        if (!WriteAll(file.Get(), bytes) || ::fsync(file.Get()) != 0) {
            const int error = errno;
            ::unlink(temporary.c_str());
            return ErrorFromErrno(error);
        }
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return ErrorFromErrno(error);
    }
    return ERROR_SUCCESS;
}

} // namespace

fs::path RegistryStore::HivePath(RegistryHive hive)
{
    if (const char* dir = std::getenv("TRELLAN_REGISTRY_DIR"); dir && *dir)
        return fs::path(dir) / (hive == RegistryHive::Machine ? "machine" : "user") / "registry";
    if (hive == RegistryHive::Machine)
        return "/etc/trellan/registry";
    return UserDataHome() / "trellan/registry";
}

LSTATUS RegistryStore::Read(RegistryHive hive, RegistryKey& root)
{
    root = RegistryKey();
    const fs::path path = HivePath(hive);
    std::error_code error;
    if (!fs::exists(path, error))
        return error ? ERROR_ACCESS_DENIED : ERROR_SUCCESS;
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return ERROR_ACCESS_DENIED;
    std::ostringstream text;
    text << file.rdbuf();
    if (file.bad())
        return ERROR_ACCESS_DENIED;
    std::optional<RegistryKey> parsed = ParseRegistryFile(text.str());
    if (!parsed)
        return ERROR_BADDB;
    root = std::move(*parsed);
    return ERROR_SUCCESS;
}

LSTATUS RegistryStore::Update(RegistryHive hive, const std::function<bool(RegistryKey& root)>& change)
{
    const fs::path path = HivePath(hive);
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    if (error)
        return ErrorFromErrno(error.value());
    const fs::path lockPath = path.string() + ".lock";
    FileHandle lock(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
    if (lock.Get() < 0)
        return ErrorFromErrno(errno);
    while (::flock(lock.Get(), LOCK_EX) != 0) {
        if (errno != EINTR)
            return ErrorFromErrno(errno);
    }
    RegistryKey root;
    if (const LSTATUS status = Read(hive, root); status != ERROR_SUCCESS)
        return status;
    if (!change(root))
        return ERROR_CANCELLED;
    return Replace(path, root);
}

LSTATUS RegistryStore::ReadClasses(RegistryKey& classes)
{
    classes = RegistryKey();
    for (RegistryHive hive : {RegistryHive::Machine, RegistryHive::User}) {
        RegistryKey root;
        if (const LSTATUS status = Read(hive, root); status != ERROR_SUCCESS)
            return status;
        if (const RegistryKey* hiveClasses = root.Find(ClassesPath))
            classes.MergeFrom(*hiveClasses);
    }
    return ERROR_SUCCESS;
}

} // namespace Platform
