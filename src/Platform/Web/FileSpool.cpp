#include "Platform/Web/FileSpool.h"

#include <algorithm>
#include <array>

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

} // namespace

FileSpool::FileSpool(fs::path spoolFolder) : folder(std::move(spoolFolder)) {}

FileSpool::~FileSpool()
{
    for (auto& [id, file] : incoming) {
        file.file.close();
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

bool FileSpool::Begin(std::uint32_t id, std::string_view name, std::uint64_t size)
{
    if (!IsPlainName(name) || size > kMaxFileSize || totalSize + size > kMaxTotalSize || incoming.count(id) ||
        finished.count(id) || incoming.size() >= kMaxOpenFiles)
        return false;
    Incoming file;
    file.name = std::string(name);
    file.size = size;
    file.temporary = folder / (".incoming-" + std::to_string(id));
    file.file.open(file.temporary, std::ios::binary | std::ios::trunc);
    if (!file.file)
        return false;
    totalSize += size;
    auto& stored = incoming[id] = std::move(file);
    if (size == 0)
        Finish(id, stored);
    return true;
}

bool FileSpool::Append(std::uint32_t id, std::string_view bytes)
{
    auto it = incoming.find(id);
    if (it == incoming.end())
        return false;
    Incoming& file = it->second;
    if (bytes.size() > file.size - file.received) {
        Discard(id);
        return false;
    }
    file.file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.received += bytes.size();
    if (!file.file) {
        Discard(id);
        return false;
    }
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
    it->second.file.close();
    std::error_code error;
    fs::remove(it->second.temporary, error);
    totalSize -= it->second.size;
    incoming.erase(it);
}

void FileSpool::Finish(std::uint32_t id, Incoming& file)
{
    file.file.close();
    const fs::path placed = file.file ? Place(file.name, file.temporary) : fs::path();
    std::error_code error;
    fs::remove(file.temporary, error);
    if (!placed.empty())
        finished[id] = placed;
    incoming.erase(id);
}

fs::path FileSpool::Place(const std::string& name, const fs::path& temporary) const
{
    for (int copy = 1; copy <= kMaxSameNames; ++copy) {
        const fs::path subfolder = copy == 1 ? folder : folder / std::to_string(copy);
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
