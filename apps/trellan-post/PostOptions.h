#pragma once
// The command line of trellan-post, checked, and the configuration it makes.

#include <map>
#include <optional>
#include <string>
#include <vector>

class AppConfig;

struct PostOptions {
    std::string url;
    std::map<std::string, std::string> fields;
    std::string fileField = "file";
    std::string cookie;
    std::string encodeType = "utf-8";
    std::string nameGen = "ori";
    int threads = 3;
    // --insecure: every https server's certificate problems are tolerated, as for the
    // hosts listed in tls-exceptions, for this command only.
    bool insecure = false;
    bool sendOriginal = false;
    int maxWidth = 0; // 0: no limit
    int maxHeight = 0; // 0: no limit
    int jpegQuality = 100;
    std::vector<std::string> files;

    // The options, or nothing after writing what is wrong to standard error.
    static std::optional<PostOptions> Parse(int argc, char** argv);
    // The configuration "init" would make from the same values.
    AppConfig MakeConfig() const;
};
