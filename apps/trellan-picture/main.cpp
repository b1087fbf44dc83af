// trellan-picture: the picture operations of the control, run on files.

#include "TrellanVersion.h"
#include "PictureCommands.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char* const Usage = "usage:\n"
                          "  trellan-picture info FILE...\n"
                          "  trellan-picture thumbnail [--box WxH] IN OUT\n"
                          "  trellan-picture encode --format NAME IN OUT\n";

int BadArguments(const char* reason)
{
    std::fprintf(stderr, "trellan-picture: %s\n%s", reason, Usage);
    return 2;
}

// "WxH" with both sides from 1 to 65535.
bool ParseBox(const std::string& text, int& width, int& height)
{
    char tail = 0;
    return std::sscanf(text.c_str(), "%dx%d%c", &width, &height, &tail) == 2 && width > 0 && height > 0 &&
           width <= 65535 && height <= 65535;
}

int Thumbnail(std::vector<std::string> args)
{
    int width = 120;
    int height = 120;
    if (!args.empty() && args[0] == "--box") {
        if (args.size() < 2 || !ParseBox(args[1], width, height))
            return BadArguments("--box needs a size such as 120x120");
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.size() != 2)
        return BadArguments("thumbnail needs an input and an output file");
    return RunThumbnail(width, height, args[0], args[1]);
}

int Encode(const std::vector<std::string>& args)
{
    if (args.size() != 4 || args[0] != "--format")
        return BadArguments("encode needs --format NAME, an input and an output file");
    return RunEncode(args[1], args[2], args[3]);
}

} // namespace

int main(int argc, char** argv)
{
    if (PrintedVersion(argc, argv, "trellan-picture"))
        return 0;
    if (argc < 2)
        return BadArguments("no command");
    const std::string command = argv[1];
    const std::vector<std::string> args(argv + 2, argv + argc);
    if (command == "info")
        return args.empty() ? BadArguments("info needs at least one file") : RunInfo(args);
    if (command == "thumbnail")
        return Thumbnail(args);
    if (command == "encode")
        return Encode(args);
    return BadArguments("unknown command");
}
