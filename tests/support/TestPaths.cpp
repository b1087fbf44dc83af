#include "TestPaths.h"

namespace TestPaths {

const std::string& SourceDir()
{
    static const std::string path = TRELLAN_SOURCE_DIR;
    return path;
}

const std::string& BinDir()
{
    static const std::string path = TRELLAN_BIN_DIR;
    return path;
}

const std::string& BuildDir()
{
    static const std::string path = TRELLAN_BUILD_DIR;
    return path;
}

const std::string& ModulePath()
{
    static const std::string path = BuildDir() + "/lib/libTrellan64.so";
    return path;
}

} // namespace TestPaths
