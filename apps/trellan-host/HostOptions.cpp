#include "HostOptions.h"

#include <cstdlib>

const char* const kHostUsage =
    "usage: trellan-host [--port N] [--allow-origin ORIGIN]... [--origins-file FILE] [--demo FOLDER]\n"
    "                    [--module PATH] [--max-sessions N] [--max-sessions-per-origin N]\n"
    "                    [--drop-quota MIB] [--total-drop-quota MIB] [--hang-timeout SECONDS]\n"
    "                    [--idle-exit SECONDS]\n"
    "       trellan-host --version\n"
    "Serves trellan.js on http://127.0.0.1:PORT (default 17328) and [::1], or on the sockets systemd passes,\n"
    "and runs one control process for each page session. Pages from the host's own origin may connect;\n"
    "--allow-origin, /etc/trellan/allowed-origins and the origins file (default\n"
    "~/.config/trellan/allowed-origins, one origin a line) allow more.\n"
    "At most 8 sessions run (4 for one page origin); files dropped on pages may take 2048 MiB a\n"
    "session and 4096 MiB in all. Exits after --idle-exit seconds (default 600, 0: never) without\n"
    "a page session.\n";

namespace {

bool ParseNumber(const std::string& text, long low, long high, long& value)
{
    char* end = nullptr;
    errno = 0;
    value = std::strtol(text.c_str(), &end, 10);
    return !text.empty() && *end == '\0' && errno == 0 && value >= low && value <= high;
}

} // namespace

std::string HostOptions::DefaultOriginsFile()
{
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config)
        return std::string(config) + "/trellan/allowed-origins";
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::string(home) + "/.config/trellan/allowed-origins";
    return {};
}

bool HostOptions::Parse(int argc, char** argv, std::string& error)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        long number = 0;
        if (arg == "--port" && hasValue) {
            if (!ParseNumber(argv[++i], 1, 65535, number)) {
                error = "--port takes a number from 1 to 65535";
                return false;
            }
            port = static_cast<unsigned short>(number);
        } else if (arg == "--allow-origin" && hasValue) {
            allowedOrigins.push_back(argv[++i]);
        } else if (arg == "--origins-file" && hasValue) {
            originsFile = argv[++i];
        } else if (arg == "--demo" && hasValue) {
            demoFolder = argv[++i];
        } else if (arg == "--module" && hasValue) {
            modulePath = argv[++i];
        } else if (arg == "--max-sessions" && hasValue) {
            if (!ParseNumber(argv[++i], 1, 256, number)) {
                error = "--max-sessions takes a number from 1 to 256";
                return false;
            }
            maxSessions = static_cast<int>(number);
        } else if (arg == "--max-sessions-per-origin" && hasValue) {
            if (!ParseNumber(argv[++i], 1, 256, number)) {
                error = "--max-sessions-per-origin takes a number from 1 to 256";
                return false;
            }
            maxSessionsPerOrigin = static_cast<int>(number);
        } else if ((arg == "--drop-quota" || arg == "--total-drop-quota") && hasValue) {
            if (!ParseNumber(argv[++i], 1, 1l << 30, number)) {
                error = arg + " takes a number of MiB from 1 to 1073741824";
                return false;
            }
            (arg == "--drop-quota" ? dropQuotaMiB : totalDropQuotaMiB) = number;
        } else if (arg == "--hang-timeout" && hasValue) {
            if (!ParseNumber(argv[++i], 1, 3600, number)) {
                error = "--hang-timeout takes a number of seconds from 1 to 3600";
                return false;
            }
            hangTimeoutSeconds = static_cast<int>(number);
        } else if (arg == "--idle-exit" && hasValue) {
            if (!ParseNumber(argv[++i], 0, 86400, number)) {
                error = "--idle-exit takes a number of seconds from 0 to 86400";
                return false;
            }
            idleExitSeconds = static_cast<int>(number);
        } else {
            error = "unexpected argument " + arg;
            return false;
        }
    }
    return true;
}
