#pragma once
// One session's private folder for dropped files, under the drop root, with a name
// made from the system's entropy so no other page or user can guess it. The host
// holds a lock on the folder's "lock" file while the session lives, which tells a
// later host that the folder is in use; the folder is removed with this object.

#include <memory>
#include <string>

class SessionFolder {
public:
    // A new folder under root; nothing with the reason in error.
    static std::unique_ptr<SessionFolder> Create(const std::string& root, std::string& error);
    // True for a name Create gives, so a host only ever removes its own kind of folder.
    static bool IsSessionName(const std::string& name);
    // True when no live host holds the lock of folder (the lock is taken and let go).
    static bool IsAbandoned(const std::string& folder);
    ~SessionFolder();
    SessionFolder(const SessionFolder&) = delete;
    SessionFolder& operator=(const SessionFolder&) = delete;

    const std::string& Path() const { return path; }

    static constexpr const char* kLockName = "lock";

private:
    SessionFolder(std::string path, int lock) : path(std::move(path)), lock(lock) {}

    const std::string path;
    const int lock;
};
