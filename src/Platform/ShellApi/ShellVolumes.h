#pragma once
// The volumes a person would call drives: the file-system root and the file systems
// mounted under /media, /run/media and /mnt (removable media and the user's own
// mounts), read from the mount table. Pseudo file systems are left out.

#include "Platform/Win/WinTypes.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace Platform {

struct ShellVolume {
    std::string mountPoint; // bytes of the path, as the mount table gives it
    std::wstring name; // the volume's label, else the last component of its mount point
};

// The volumes of a table in the format of /proc/self/mounts: the root first, then
// the others by mount point; labelOf gives a device's label or an empty text.
std::vector<ShellVolume> ParseVolumes(std::string_view mountTable,
                                      const std::function<std::string(const std::string& device)>& labelOf);
// The volumes of this process's mount table, labelled from /dev/disk/by-label.
std::vector<ShellVolume> ShellVolumes();

} // namespace Platform
