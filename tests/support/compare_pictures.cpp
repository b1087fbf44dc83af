// compare-pictures: compares every PNG a program wrote into OUTPUT with the reference
// of the same name in REFERENCES (see PixelReference.h), and fails on a missing or
// extra picture too, so that a new state needs a reference and a dropped one loses it.
//
//   compare-pictures REFERENCES OUTPUT

#include "PixelReference.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>

namespace fs = std::filesystem;

namespace {

std::set<std::string> PicturesIn(const fs::path& folder)
{
    std::set<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() == ".png" && !name.ends_with(".diff.png"))
            names.insert(name);
    }
    return names;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: compare-pictures REFERENCES OUTPUT\n");
        return 2;
    }
    const fs::path references = argv[1], output = argv[2];
    const char* update = std::getenv("TRELLAN_UPDATE_REFERENCES");
    const bool updating = update && std::strcmp(update, "1") == 0;
    const std::set<std::string> written = PicturesIn(output);
    if (written.empty()) {
        std::fprintf(stderr, "compare-pictures: no pictures in %s\n", output.c_str());
        return 1;
    }
    int failures = 0;
    for (const std::string& name : written) {
        const auto result = PixelReference::Compare((output / name).string(), (references / name).string());
        if (!result.message.empty())
            std::printf("%s: %s\n", name.c_str(), result.message.c_str());
        failures += result.matches ? 0 : 1;
    }
    for (const std::string& name : PicturesIn(references)) {
        if (written.count(name))
            continue;
        if (updating) {
            fs::remove(references / name);
            std::printf("%s: removed, no longer written\n", name.c_str());
        } else {
            std::printf("%s: reference without output in %s\n", name.c_str(), output.c_str());
            ++failures;
        }
    }
    std::printf("%zu pictures, %d not matching their references\n", written.size(), failures);
    return failures ? 1 : 0;
}
