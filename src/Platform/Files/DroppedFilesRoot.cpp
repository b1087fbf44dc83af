#include "Platform/Files/DroppedFilesRoot.h"

#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace Platform {
namespace {

std::string RealPath(const std::string& path)
{
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) ? std::string(resolved) : std::string();
}

} // namespace

std::string DroppedFilesRoot()
{
    struct stat info {};
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        runtime && runtime[0] == '/' && stat(runtime, &info) == 0 && S_ISDIR(info.st_mode))
        return std::string(runtime) + "/trellan";
    const char* temp = std::getenv("TMPDIR");
    const std::string base = temp && temp[0] == '/' ? temp : "/tmp";
    return base + "/trellan-" + std::to_string(getuid());
}

bool IsInDroppedFilesRoot(const std::string& path)
{
    const std::string root = RealPath(DroppedFilesRoot());
    if (root.empty())
        return false;
    const std::string real = RealPath(path);
    return real == root ||
           (real.size() > root.size() && real.compare(0, root.size(), root) == 0 && real[root.size()] == '/');
}

} // namespace Platform
