#pragma once
// An exclusive lock on a folder (flock on the folder itself), held while the object
// lives. Processes that change or measure what a shared folder holds take it, so that
// they see each other's changes whole.

#include <string>

namespace Platform {

class FolderLock {
public:
    // Waits for the lock; Held() is false when the folder cannot be opened.
    explicit FolderLock(const std::string& folder);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    bool Held() const { return descriptor >= 0; }

private:
    int descriptor = -1;
};

} // namespace Platform
