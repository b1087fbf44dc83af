#pragma once
// What the file system says about a file by its wide path name, in one call: whether
// it is a regular file, its size, and its own time.

#include <cstdint>
#include <string>

namespace Platform {

struct FileStatus {
    bool regular = false;
    std::int64_t size = 0;
    // Nanoseconds since 1970 (UTC): when the file was made, where the file system
    // records it, else when it was last modified.
    std::int64_t ownTime = 0;
};

// False, and status left as it is, when the path names nothing that can be asked.
bool ReadFileStatus(const std::wstring& path, FileStatus& status);

} // namespace Platform
