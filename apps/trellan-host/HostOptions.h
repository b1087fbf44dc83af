#pragma once
// The command line of trellan-host.

#include <string>
#include <vector>

struct HostOptions {
    // The documented default port.
    static constexpr unsigned short kDefaultPort = 17328;

    unsigned short port = kDefaultPort;
    std::vector<std::string> allowedOrigins;
    // The administrator's allowed origins, read when the file exists.
    static constexpr const char* kSystemOriginsFile = "/etc/trellan/allowed-origins";
    // A file of further allowed origins; empty: the user's default file, when it exists.
    std::string originsFile;
    std::string demoFolder;
    std::string modulePath;
    int maxSessions = 8;
    int maxSessionsPerOrigin = 4;
    // Space for dropped files, per session and over all sessions, in MiB.
    long dropQuotaMiB = 2048;
    long totalDropQuotaMiB = 4096;
    // A session's process that has not answered for this long is ended.
    int hangTimeoutSeconds = 30;
    // The host exits after this long without a page session or request; 0: never.
    int idleExitSeconds = 600;

    // False with the reason in error.
    bool Parse(int argc, char** argv, std::string& error);
    // $XDG_CONFIG_HOME/trellan/allowed-origins, or ~/.config/trellan/allowed-origins.
    static std::string DefaultOriginsFile();
};

extern const char* const kHostUsage;
