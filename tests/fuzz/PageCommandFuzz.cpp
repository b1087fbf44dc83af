// Page commands as arbitrary bytes from a page's script (an untrusted caller):
// whatever the page sends, postMessage must return, the control must stay usable, and
// no file outside the log folder may be created or changed. HOME, XDG_STATE_HOME and
// the working folder lie in a scratch folder holding a victim file, and the log folder
// holds traps (a link to the victim, a FIFO); a listing of the scratch folder, the log
// folder left out, is compared before and after every input.

#include "Control/CTrellan.h"
#include "Platform/Com/DocumentSite.h"
#include "Platform/Text/TextConv.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using namespace Platform;
namespace fs = std::filesystem;

namespace {

struct Scratch {
    fs::path root;
    fs::path logs;

    Scratch()
    {
        std::string pattern = (fs::temp_directory_path() / "trellan-fuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            std::abort();
        root = pattern;
        const fs::path home = root / "home";
        logs = root / "state" / "trellan" / "logs";
        fs::create_directories(home);
        fs::create_directories(logs);
        fs::create_directories(root / "work");
        std::ofstream(home / ".bashrc") << "export PATH\n";
        fs::create_symlink(home / ".bashrc", logs / "link.log");
        mkfifo((logs / "fifo.log").c_str(), 0600);
        setenv("HOME", home.c_str(), 1);
        setenv("XDG_STATE_HOME", (root / "state").c_str(), 1);
        if (chdir((root / "work").c_str()) != 0)
            std::abort();
    }
    ~Scratch()
    {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }

    // Every entry outside the log folder with its kind, size and change time.
    std::map<std::string, std::string> Listing() const
    {
        std::map<std::string, std::string> listing;
        for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
            if (it->path() == logs) {
                it.disable_recursion_pending();
                continue;
            }
            struct stat info {};
            lstat(it->path().c_str(), &info);
            listing[it->path().string()] = std::to_string(info.st_mode) + " " + std::to_string(info.st_size) + " " +
                                           std::to_string(info.st_mtim.tv_sec) + "." +
                                           std::to_string(info.st_mtim.tv_nsec);
        }
        return listing;
    }
};

CTrellan* MakeUntrustedControl()
{
    CTrellan* created = nullptr;
    CTrellan::CreateInstance(&created);
    created->SetInterfaceSafetyOptions(IID_IDispatch, INTERFACESAFE_FOR_UNTRUSTED_CALLER,
                                       INTERFACESAFE_FOR_UNTRUSTED_CALLER);
    DocumentSite* site = DocumentSite::Create("https://photos.example.test");
    created->SetSite(site);
    site->Release();
    return created;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Scratch scratch;
    static CTrellan* control = MakeUntrustedControl();
    const auto before = scratch.Listing();
    ScopedBstr command(Utf8ToWide(std::string(reinterpret_cast<const char*>(data), size)));
    control->postMessage(command.Get());
    if (scratch.Listing() != before) {
        std::fprintf(stderr, "a page command changed a file outside the log folder\n");
        std::abort();
    }
    return 0;
}
