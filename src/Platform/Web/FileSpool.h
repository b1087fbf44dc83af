#pragma once
// The session's folder for files dropped on the page. The page streams each file's
// bytes in; a finished file is kept under its own name, so the same file dropped twice
// is the same path. A different file with a name already taken goes into a numbered
// subfolder ("2/name", "3/name", ...) so that no path the control holds ever changes
// its content. Names, sizes and byte counts come from the page and are checked.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace Platform::Web {

class FileSpool {
public:
    static constexpr std::uint64_t kMaxFileSize = 1ull << 30;
    static constexpr std::uint64_t kMaxTotalSize = 4ull << 30;
    static constexpr std::size_t kMaxOpenFiles = 64;

    explicit FileSpool(std::filesystem::path folder);
    ~FileSpool();

    // A file announced by the page: its id, name and size. False (and nothing kept) for a
    // name that is not a plain file name, a size over the limits or an id in use.
    bool Begin(std::uint32_t id, std::string_view name, std::uint64_t size);
    // The next bytes of a file; false for an unknown id or more bytes than announced
    // (the file is then dropped).
    bool Append(std::uint32_t id, std::string_view bytes);
    // The path of a finished file, or empty.
    std::filesystem::path PathOf(std::uint32_t id) const;

    static bool IsPlainName(std::string_view name);

private:
    struct Incoming {
        std::string name;
        std::uint64_t size = 0;
        std::uint64_t received = 0;
        std::filesystem::path temporary;
        std::ofstream file;
    };

    void Finish(std::uint32_t id, Incoming& incoming);
    void Discard(std::uint32_t id);
    std::filesystem::path Place(const std::string& name, const std::filesystem::path& temporary) const;

    const std::filesystem::path folder;
    std::map<std::uint32_t, Incoming> incoming;
    std::map<std::uint32_t, std::filesystem::path> finished;
    std::uint64_t totalSize = 0;
};

} // namespace Platform::Web
