#pragma once
// The session's folder for files dropped on the page. The page streams each file's
// bytes in; a finished file is kept under its own name in the folder's "files", so the
// same file dropped twice is the same path. A different file with a name already taken
// goes into a numbered subfolder ("2/name", "3/name", ...) so that no path the control
// holds ever changes its content. Files still coming are written in "incoming", where
// no dropped name can reach them. Names, sizes and byte counts come from the page and
// are checked.
//
// Space is reserved when a file is announced: its whole size is allocated at once,
// within the session's quota and, when a root is given, the quota of every session
// folder under that root together (measured under the root's lock, so sessions in
// other processes count as well). A file over either is refused with the reason, and
// nothing of it is left.

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>

namespace Platform::Web {

struct DropQuota {
    std::uint64_t session = 2ull << 30;
    std::uint64_t total = 4ull << 30;
    // The folder that holds every session's folder; empty: only the session's quota counts.
    std::filesystem::path root;
};

class FileSpool {
public:
    static constexpr std::uint64_t kMaxFileSize = 1ull << 30;
    static constexpr std::size_t kMaxOpenFiles = 64;

    explicit FileSpool(std::filesystem::path folder, DropQuota quota = {});
    ~FileSpool();
    FileSpool(const FileSpool&) = delete;
    FileSpool& operator=(const FileSpool&) = delete;

    // A file announced by the page: its id, name and size. False (with the reason in
    // refusal, and nothing kept) for a name that is not a plain file name, a size over
    // the limits or the quota, or an id in use.
    bool Begin(std::uint32_t id, std::string_view name, std::uint64_t size, std::string& refusal);
    // The next bytes of a file; false for an unknown id or more bytes than announced
    // (the file is then dropped).
    bool Append(std::uint32_t id, std::string_view bytes);
    // The path of a finished file, or empty.
    std::filesystem::path PathOf(std::uint32_t id) const;

    static bool IsPlainName(std::string_view name);
    // The bytes the files under folder take on their file system.
    static std::uint64_t UsedBytes(const std::filesystem::path& folder);

private:
    struct Incoming {
        std::string name;
        std::uint64_t size = 0;
        std::uint64_t received = 0;
        std::filesystem::path temporary;
        int descriptor = -1;
    };

    bool CheckQuota(std::string_view name, std::uint64_t size, std::string& refusal) const;
    // Opens the temporary file and allocates its size; -1 with the reason in refusal.
    int Reserve(const std::filesystem::path& temporary, std::string_view name, std::uint64_t size,
                std::string& refusal) const;
    void Finish(std::uint32_t id, Incoming& incoming);
    void Discard(std::uint32_t id);
    std::filesystem::path Place(const std::string& name, const std::filesystem::path& temporary) const;

    const std::filesystem::path folder;
    const std::filesystem::path files;
    const std::filesystem::path spool;
    const DropQuota quota;
    std::map<std::uint32_t, Incoming> incoming;
    std::map<std::uint32_t, std::filesystem::path> finished;
};

} // namespace Platform::Web
