#include "StaticFiles.h"

namespace {

struct Route {
    std::string_view target;
    const char* file;
    std::string_view contentType;
    bool demoOnly;
    bool isFrame = false;
};

constexpr Route kRoutes[] = {
    {"/trellan.js", "trellan.js", "text/javascript; charset=utf-8", false},
    {"/trellan.d.ts", "trellan.d.ts", "text/plain; charset=utf-8", false},
    {"/frame", "frame/index.html", "text/html; charset=utf-8", false, true},
    {"/frame/frame.js", "frame/frame.js", "text/javascript; charset=utf-8", false},
    {"/frame/frame.css", "frame/frame.css", "text/css; charset=utf-8", false},
    {"/demo/", "demo/index.html", "text/html; charset=utf-8", true},
    {"/demo/index.html", "demo/index.html", "text/html; charset=utf-8", true},
    {"/demo/demo.js", "demo/demo.js", "text/javascript; charset=utf-8", true},
    {"/demo/demo.css", "demo/demo.css", "text/css; charset=utf-8", true},
};

std::optional<std::string_view> Content(const char* name)
{
    for (const WebFile& file : WebFiles())
        if (std::string_view(file.name) == name)
            return file.content;
    return std::nullopt;
}

} // namespace

std::optional<StaticFiles::Answer> StaticFiles::Find(std::string_view target) const
{
    const auto end = target.find_first_of("?#");
    const std::string_view path = target.substr(0, end);
    for (const Route& route : kRoutes) {
        if (route.target != path || (route.demoOnly && !withDemo))
            continue;
        if (const auto content = Content(route.file))
            return Answer{*content, route.contentType, route.isFrame};
    }
    return std::nullopt;
}
