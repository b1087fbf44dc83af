// Page commands as arbitrary bytes from a page's script (an untrusted caller):
// whatever the page sends, postMessage must return, the control must stay usable, and
// no file outside the log folder may be created or changed. HOME and XDG_STATE_HOME lie
// in a scratch folder holding a victim file, and the log folder holds traps (a link to
// the victim, a FIFO); a listing of the scratch folder, the log folder left out, and
// the working folder's own times (libFuzzer's, which a relative path would reach) are
// compared before and after every input.

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
        std::ofstream(home / ".bashrc") << "export PATH\n";
        fs::create_symlink(home / ".bashrc", logs / "link.log");
        mkfifo((logs / "fifo.log").c_str(), 0600);
        setenv("HOME", home.c_str(), 1);
        setenv("XDG_STATE_HOME", (root / "state").c_str(), 1);
    }
    ~Scratch()
    {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }

    // Every entry outside the log folder with its kind, size and change time, and the
    // working folder's times, which change when anything is created in it.
    std::map<std::string, std::string> Listing() const
    {
        std::map<std::string, std::string> listing{{".", Stamp(".")}};
        for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
            if (it->path() == logs)
                it.disable_recursion_pending();
            else
                listing[it->path().string()] = Stamp(it->path());
        }
        return listing;
    }

    static std::string Stamp(const fs::path& path)
    {
        struct stat info {};
        lstat(path.c_str(), &info);
        return std::to_string(info.st_mode) + " " + std::to_string(info.st_size) + " " +
               std::to_string(info.st_mtim.tv_sec) + "." + std::to_string(info.st_mtim.tv_nsec) + " " +
               std::to_string(info.st_ctim.tv_sec) + "." + std::to_string(info.st_ctim.tv_nsec);
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
