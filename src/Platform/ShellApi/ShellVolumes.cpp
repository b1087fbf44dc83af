#include "Platform/ShellApi/ShellVolumes.h"

#include "Platform/Text/TextConv.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace Platform {
namespace {

// File systems that hold no user's files, or that may block when touched.
constexpr std::array<std::string_view, 24> kPseudoTypes = {
    "proc",    "sysfs",   "tmpfs",  "devtmpfs", "devpts",      "cgroup",     "cgroup2",         "securityfs",
    "debugfs", "tracefs", "pstore", "bpf",      "autofs",      "mqueue",     "hugetlbfs",       "configfs",
    "fusectl", "ramfs",   "nsfs",   "efivarfs", "binfmt_misc", "rpc_pipefs", "fuse.gvfsd-fuse", "fuse.portal"};

bool IsPseudo(std::string_view type)
{
    return std::find(kPseudoTypes.begin(), kPseudoTypes.end(), type) != kPseudoTypes.end();
}

bool UnderDriveFolders(const std::string& mountPoint)
{
    for (std::string_view prefix : {"/media/", "/run/media/", "/mnt/"})
        if (mountPoint.size() > prefix.size() && mountPoint.compare(0, prefix.size(), prefix) == 0)
            return true;
    return mountPoint == "/mnt";
}

// The mount table writes space, tab, newline and backslash as \ooo.
std::string UnescapeOctal(const std::string& field)
{
    std::string text;
    for (std::size_t i = 0; i < field.size(); ++i) {
        const bool octal = field[i] == '\\' && i + 3 < field.size() &&
                           std::all_of(field.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                       field.begin() + static_cast<std::ptrdiff_t>(i) + 4,
                                       [](char c) { return c >= '0' && c <= '7'; });
        if (octal) {
            text += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0'));
            i += 3;
        } else {
            text += field[i];
        }
    }
    return text;
}

// udev writes unsafe characters of a label as \xHH.
std::string UnescapeHex(const std::string& name)
{
    std::string text;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x' && HexDigitValue(name[i + 2]) >= 0 &&
            HexDigitValue(name[i + 3]) >= 0) {
            text += static_cast<char>(HexDigitValue(name[i + 2]) * 16 + HexDigitValue(name[i + 3]));
            i += 3;
        } else {
            text += name[i];
        }
    }
    return text;
}

std::wstring VolumeName(const std::string& mountPoint, const std::string& label)
{
    if (!label.empty())
        return PathToWide(label);
    if (mountPoint == "/")
        return L"/";
    return PathToWide(mountPoint.substr(mountPoint.find_last_of('/') + 1));
}

} // namespace

std::vector<ShellVolume> ParseVolumes(std::string_view mountTable,
                                      const std::function<std::string(const std::string& device)>& labelOf)
{
    // A later mount over the same point hides the earlier one.
    std::map<std::string, std::string> devices;
    std::istringstream lines{std::string(mountTable)};
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string device, mountPoint, type;
        if (!(fields >> device >> mountPoint >> type))
            continue;
        mountPoint = UnescapeOctal(mountPoint);
        if (mountPoint == "/" || (UnderDriveFolders(mountPoint) && !IsPseudo(type)))
            devices[mountPoint] = UnescapeOctal(device);
        else
            devices.erase(mountPoint);
    }
    std::vector<ShellVolume> volumes{
        ShellVolume{"/", VolumeName("/", devices.count("/") ? labelOf(devices["/"]) : "")}};
    for (const auto& [mountPoint, device] : devices)
        if (mountPoint != "/")
            volumes.push_back(ShellVolume{mountPoint, VolumeName(mountPoint, labelOf(device))});
    return volumes;
}

std::vector<ShellVolume> ShellVolumes()
{
    std::ifstream file("/proc/self/mounts");
    std::stringstream table;
    table << file.rdbuf();
    // Labels: the links of /dev/disk/by-label name the devices they point to.
    std::map<std::string, std::string> labels;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/dev/disk/by-label", error)) {
        const std::filesystem::path target = std::filesystem::canonical(entry.path(), error);
        if (!error)
            labels[target.string()] = UnescapeHex(entry.path().filename().string());
    }
    return ParseVolumes(table.str(), [&](const std::string& device) {
        std::error_code ignored;
        const std::filesystem::path resolved = std::filesystem::canonical(device, ignored);
        auto it = labels.find(ignored ? device : resolved.string());
        return it == labels.end() ? std::string() : it->second;
    });
}

} // namespace Platform
