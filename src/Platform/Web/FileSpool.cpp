#include "Platform/Web/FileSpool.h"

#include "Platform/Files/FolderLock.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace Platform::Web {
namespace {

constexpr int kMaxSameNames = 1000;

bool SameContent(const fs::path& a, const fs::path& b)
{
    std::error_code error;
    if (fs::file_size(a, error) != fs::file_size(b, error) || error)
        return false;
    std::ifstream first(a, std::ios::binary), second(b, std::ios::binary);
    std::array<char, 65536> one{}, two{};
    while (first && second) {
        first.read(one.data(), one.size());
        second.read(two.data(), two.size());
        if (first.gcount() != second.gcount() || !std::equal(one.begin(), one.begin() + first.gcount(), two.begin()))
            return false;
    }
    return first.eof() && second.eof();
}

std::string MiB(std::uint64_t bytes)
{
    return std::to_string((bytes + (1u << 20) - 1) >> 20) + " MiB";
}

std::string Quoted(std::string_view name)
{
    return "\u201c" + std::string(name) + "\u201d";
}

bool WriteAll(int descriptor, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = write(descriptor, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

} // namespace

FileSpool::FileSpool(fs::path spoolFolder, DropQuota dropQuota)
    : folder(std::move(spoolFolder)), files(folder / "files"), spool(folder / "incoming"), quota(std::move(dropQuota))
{
    std::error_code error;
    fs::create_directories(files, error);
    fs::create_directories(spool, error);
}

FileSpool::~FileSpool()
{
    for (auto& [id, file] : incoming) {
        close(file.descriptor);
        std::error_code error;
        fs::remove(file.temporary, error);
    }
}

bool FileSpool::IsPlainName(std::string_view name)
{
    if (name.empty() || name.size() > 255 || name == "." || name == "..")
        return false;
    return std::none_of(name.begin(), name.end(), [](char c) { return c == '/' || c == '\0'; });
}

std::uint64_t FileSpool::UsedBytes(const fs::path& under)
{
    std::uint64_t used = 0;
    std::error_code error;
    for (fs::recursive_directory_iterator it(under, fs::directory_options::skip_permission_denied, error), end;
         !error && it != end; it.increment(error)) {
        struct stat info {};
        if (lstat(it->path().c_str(), &info) == 0 && S_ISREG(info.st_mode))
            used += static_cast<std::uint64_t>(info.st_blocks) * 512;
    }
    return used;
}

bool FileSpool::Begin(std::uint32_t id, std::string_view name, std::uint64_t size, std::string& refusal)
{
    if (!IsPlainName(name)) {
        refusal = "a dropped file's name is not a plain file name";
        return false;
    }
    if (size > kMaxFileSize) {
        refusal = Quoted(name) + " is larger than the " + MiB(kMaxFileSize) + " a dropped file may have";
        return false;
    }
    if (incoming.count(id) || finished.count(id) || incoming.size() >= kMaxOpenFiles) {
        refusal = "too many dropped files are on their way at once";
        return false;
    }
    Incoming file;
    file.name = std::string(name);
    file.size = size;
    file.temporary = spool / std::to_string(id);
    {
        // Measuring and reserving are one step for every session under the root.
        std::optional<FolderLock> rootLock;
        if (!quota.root.empty() && !rootLock.emplace(quota.root.string()).Held()) {
            refusal = "the folder for dropped files cannot be used";
            return false;
        }
        if (!CheckQuota(name, size, refusal))
            return false;
        file.descriptor = Reserve(file.temporary, name, size, refusal);
    }
    if (file.descriptor < 0)
        return false;
    auto& stored = incoming[id] = std::move(file);
    if (size == 0)
        Finish(id, stored);
    return true;
}

bool FileSpool::CheckQuota(std::string_view name, std::uint64_t size, std::string& refusal) const
{
    if (UsedBytes(folder) + size > quota.session) {
        refusal = Quoted(name) + " (" + MiB(size) + ") does not fit in the " + MiB(quota.session) +
                  " this page's dropped files may take";
        return false;
    }
    if (!quota.root.empty() && UsedBytes(quota.root) + size > quota.total) {
        refusal = Quoted(name) + " (" + MiB(size) + ") does not fit in the " + MiB(quota.total) +
                  " the dropped files of all pages may take";
        return false;
    }
    return true;
}

int FileSpool::Reserve(const fs::path& temporary, std::string_view name, std::uint64_t size, std::string& refusal) const
{
    const int descriptor = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    const int failure = descriptor < 0 ? errno
                        : size > 0     ? posix_fallocate(descriptor, 0, static_cast<off_t>(size))
                                       : 0;
    if (failure == 0)
        return descriptor;
    if (descriptor >= 0) {
        close(descriptor);
        unlink(temporary.c_str());
    }
    refusal = "there is no room for " + Quoted(name) + " (" + MiB(size) + "): " + std::strerror(failure);
    return -1;
}

bool FileSpool::Append(std::uint32_t id, std::string_view bytes)
{
    auto it = incoming.find(id);
    if (it == incoming.end())
        return false;
    Incoming& file = it->second;
    if (bytes.size() > file.size - file.received || !WriteAll(file.descriptor, bytes)) {
        Discard(id);
        return false;
    }
    file.received += bytes.size();
    if (file.received == file.size)
        Finish(id, file);
    return true;
}

fs::path FileSpool::PathOf(std::uint32_t id) const
{
    auto it = finished.find(id);
    return it == finished.end() ? fs::path() : it->second;
}

void FileSpool::Discard(std::uint32_t id)
{
    auto it = incoming.find(id);
    close(it->second.descriptor);
    std::error_code error;
    fs::remove(it->second.temporary, error);
    incoming.erase(it);
}

void FileSpool::Finish(std::uint32_t id, Incoming& file)
{
    const bool closed = close(file.descriptor) == 0;
    const fs::path placed = closed ? Place(file.name, file.temporary) : fs::path();
    std::error_code error;
    fs::remove(file.temporary, error);
    if (!placed.empty())
        finished[id] = placed;
    incoming.erase(id);
}

fs::path FileSpool::Place(const std::string& name, const fs::path& temporary) const
{
    for (int copy = 1; copy <= kMaxSameNames; ++copy) {
        const fs::path subfolder = copy == 1 ? files : files / std::to_string(copy);
        const fs::path target = subfolder / name;
        std::error_code error;
        if (fs::exists(target, error)) {
            if (SameContent(target, temporary))
                return target;
            continue;
        }
        fs::create_directories(subfolder, error);
        fs::rename(temporary, target, error);
        if (!error)
            return target;
    }
    return {};
}

} // namespace Platform::Web
