// trellan-regsvr: registers a component module in the registry store, or removes
// its registration, through the module's own entry points; --list prints the
// store's classes view.

#include "TrellanVersion.h"
#include "RegistryListing.h"

#include "Platform/Com/ClassFactory.h"
#include "Platform/Com/RegistryStore.h"
#include "Platform/Module/SharedLibrary.h"
#include "Platform/Text/TextConv.h"

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>

using namespace Platform;

namespace {

const char* const kUsage = "usage: trellan-regsvr [-u] [-i[:COMMANDLINE]] MODULE\n"
                           "       trellan-regsvr --list\n"
                           "  -u  unregister instead of register\n"
                           "  -i  call DllInstall (with COMMANDLINE; \"user\" registers for this user only)\n";

constexpr int kFailed = 1;
constexpr int kBadUsage = 2;

struct Options {
    bool list = false;
    bool unregister = false;
    std::optional<std::string> install; // DllInstall's command line
    std::string module;
};

bool ParseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--list")
            options.list = true;
        else if (arg == "-u")
            options.unregister = true;
        else if (arg == "-i")
            options.install = "";
        else if (arg.rfind("-i:", 0) == 0)
            options.install = arg.substr(3);
        else if (options.module.empty() && !arg.empty() && arg[0] != '-')
            options.module = arg;
        else
            return false;
    }
    return options.list ? options.module.empty() && !options.unregister && !options.install : !options.module.empty();
}

int List()
{
    RegistryKey classes;
    if (const LSTATUS status = RegistryStore::ReadClasses(classes); status != ERROR_SUCCESS) {
        std::cerr << "trellan-regsvr: the registry store cannot be read (error " << status << ")\n";
        return kFailed;
    }
    PrintRegistryKeys(std::cout, classes);
    return 0;
}

std::string Hex(HRESULT hr)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(hr));
    return text;
}

int Run(const Options& options)
{
    const std::string path = std::filesystem::absolute(options.module).string();
    SharedLibrary module;
    if (!module.Open(path.c_str())) {
        std::cerr << "trellan-regsvr: cannot load " << path << "\n";
        return kFailed;
    }
    const std::string entry = options.install      ? "DllInstall"
                              : options.unregister ? "DllUnregisterServer"
                                                   : "DllRegisterServer";
    DllInstallFunction install = nullptr;
    DllRegisterServerFunction call = nullptr;
    if (options.install ? !module.Bind(entry.c_str(), install) : !module.Bind(entry.c_str(), call)) {
        std::cerr << "trellan-regsvr: " << path << " has no entry point " << entry << "\n";
        return kFailed;
    }
    const HRESULT hr = install ? install(options.unregister ? 0 : 1, Utf8ToWide(*options.install).c_str()) : call();
    if (FAILED(hr)) {
        std::cerr << "trellan-regsvr: " << entry << " in " << path << " failed: " << Hex(hr) << "\n";
        return kFailed;
    }
    std::cout << entry << " in " << path << " succeeded.\n";
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (PrintedVersion(argc, argv, "trellan-regsvr"))
        return 0;
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::cerr << kUsage;
        return kBadUsage;
    }
    return options.list ? List() : Run(options);
}
