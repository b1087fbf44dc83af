#pragma once
// Our shell namespace on Linux. The desktop is the user's home folder; it holds the
// computer, a virtual folder of the volumes (ShellVolumes), and the home folder's own
// entries. Volumes and folders hold the entries of their paths. A name that starts
// with a dot is hidden; the folder of pages' dropped files (DroppedFilesRoot) is never
// listed or resolved.

#include "Platform/ShellApi/ShellItemIds.h"

#include <optional>
#include <string>
#include <vector>

namespace Platform {

struct ShellLocation {
    enum class Kind { Desktop, Computer, Volume, Folder, File };
    Kind kind = Kind::Desktop;
    std::string path; // bytes of the file-system path; empty for the computer
    std::wstring displayName;
};

// The home folder: $HOME when it is an absolute path, else the password database's.
std::string HomeFolder();
// Where the steps lead; nothing when a step does not fit its parent (a volume outside
// the computer, an entry of the computer). Entries are looked up (folder or file) on
// the file system; an entry that does not exist is a file.
std::optional<ShellLocation> ResolveLocation(const std::vector<ShellStep>& steps);
// The children of a location that can hold any (SHCONTF_ flags choose folders, other
// entries and hidden ones), by name without regard to case, then by bytes.
std::vector<ShellStep> ChildSteps(const ShellLocation& location, DWORD flags);

} // namespace Platform
