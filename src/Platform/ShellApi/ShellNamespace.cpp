#include "Platform/ShellApi/ShellNamespace.h"

#include "Platform/Files/DroppedFilesRoot.h"
#include "Platform/ShellApi/ShellVolumes.h"
#include "Platform/ShellApi/StringCompare.h"
#include "Platform/Text/TextConv.h"

#include <algorithm>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Platform {
namespace {

std::string Join(const std::string& folder, const std::string& name)
{
    return folder.empty() || folder.back() == '/' ? folder + name : folder + "/" + name;
}

bool IsFolder(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The folder's entries with their kind, found by the entry type and, for links and
// unknown types, by following them.
std::vector<ShellStep> FolderEntries(const std::string& folder, DWORD flags)
{
    std::vector<ShellStep> entries;
    DIR* directory = opendir(folder.c_str());
    if (!directory)
        return entries;
    const std::string dropRoot = DroppedFilesRoot();
    const std::string dropName = dropRoot.substr(dropRoot.rfind('/') + 1);
    while (const dirent* entry = readdir(directory)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        if (name.front() == '.' && !(flags & SHCONTF_INCLUDEHIDDEN))
            continue;
        bool folderEntry = entry->d_type == DT_DIR;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat info {};
            folderEntry = fstatat(dirfd(directory), entry->d_name, &info, 0) == 0 && S_ISDIR(info.st_mode);
        }
        // Pages' dropped files are no one else's to see: their folder is never offered.
        if (folderEntry && (name == dropName || entry->d_type == DT_LNK) && IsInDroppedFilesRoot(Join(folder, name)))
            continue;
        if (folderEntry ? (flags & SHCONTF_FOLDERS) : (flags & SHCONTF_NONFOLDERS))
            entries.push_back(ShellStep{ShellStepKind::Entry, name});
    }
    closedir(directory);
    std::sort(entries.begin(), entries.end(), [](const ShellStep& a, const ShellStep& b) {
        const int folded = StrCmpIW(PathToWide(a.name).c_str(), PathToWide(b.name).c_str());
        return folded != 0 ? folded < 0 : a.name < b.name;
    });
    return entries;
}

std::wstring VolumeName(const std::string& mountPoint)
{
    const std::vector<ShellVolume> volumes = ShellVolumes();
    auto volume =
        std::find_if(volumes.begin(), volumes.end(), [&](const ShellVolume& v) { return v.mountPoint == mountPoint; });
    return volume == volumes.end() ? PathToWide(mountPoint) : volume->name;
}

} // namespace

std::string HomeFolder()
{
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/')
        return home;
    const passwd* user = getpwuid(getuid());
    return user && user->pw_dir ? user->pw_dir : "/";
}

std::optional<ShellLocation> ResolveLocation(const std::vector<ShellStep>& steps)
{
    ShellLocation location{ShellLocation::Kind::Desktop, HomeFolder(), L"桌面"};
    for (std::size_t index = 0; index < steps.size(); ++index) {
        const ShellStep& step = steps[index];
        const bool last = index + 1 == steps.size();
        const bool inComputer = location.kind == ShellLocation::Kind::Computer;
        switch (step.kind) {
        case ShellStepKind::Computer:
            if (location.kind != ShellLocation::Kind::Desktop)
                return std::nullopt;
            location = ShellLocation{ShellLocation::Kind::Computer, "", L"计算机"};
            break;
        case ShellStepKind::Volume:
            if (!inComputer)
                return std::nullopt;
            // The volume's name (its label) is looked up only when it is the item's own.
            location = ShellLocation{ShellLocation::Kind::Volume, step.name, last ? VolumeName(step.name) : L""};
            break;
        case ShellStepKind::Entry:
            if (inComputer || location.kind == ShellLocation::Kind::File || step.name.empty() ||
                step.name.find('/') != std::string::npos || step.name == "." || step.name == "..")
                return std::nullopt;
            location.path = Join(location.path, step.name);
            location.kind = IsFolder(location.path) ? ShellLocation::Kind::Folder : ShellLocation::Kind::File;
            location.displayName = PathToWide(step.name);
            break;
        }
    }
    if (location.kind == ShellLocation::Kind::Folder && IsInDroppedFilesRoot(location.path))
        return std::nullopt;
    return location;
}

std::vector<ShellStep> ChildSteps(const ShellLocation& location, DWORD flags)
{
    switch (location.kind) {
    case ShellLocation::Kind::Computer: {
        std::vector<ShellStep> volumes;
        if (flags & SHCONTF_FOLDERS)
            for (const ShellVolume& volume : ShellVolumes())
                volumes.push_back(ShellStep{ShellStepKind::Volume, volume.mountPoint});
        return volumes;
    }
    case ShellLocation::Kind::Desktop: {
        std::vector<ShellStep> children;
        if (flags & SHCONTF_FOLDERS)
            children.push_back(ShellStep{ShellStepKind::Computer, ""});
        for (ShellStep& entry : FolderEntries(location.path, flags))
            children.push_back(std::move(entry));
        return children;
    }
    case ShellLocation::Kind::File:
        return {};
    default:
        return FolderEntries(location.path, flags);
    }
}

} // namespace Platform
