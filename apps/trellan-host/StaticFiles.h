#pragma once
// The fixed set of files the host serves: the script, its declarations, the control's
// frame and, with a demo folder, the demo page. They are compiled into the program; a request names one
// of them or gets nothing, so no path from a request reaches the file system.

#include <optional>
#include <span>
#include <string_view>

struct WebFile {
    const char* name; // relative to the web folder, such as "demo/index.html"
    std::string_view content;
};

// Every file of the web folder the program holds (generated at build time).
std::span<const WebFile> WebFiles();

class StaticFiles {
public:
    struct Answer {
        std::string_view content;
        std::string_view contentType;
        bool isFrame; // the control's frame page, which only allowed pages may show
    };

    explicit StaticFiles(bool withDemo) : withDemo(withDemo) {}

    // The file served at a request target (query and fragment ignored), or nothing.
    std::optional<Answer> Find(std::string_view target) const;

private:
    bool withDemo;
};
