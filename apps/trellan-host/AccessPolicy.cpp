#include "AccessPolicy.h"

#include <algorithm>
#include <cctype>
#include <fstream>

namespace {

std::string Lower(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    return lower;
}

bool IsPort(std::string_view text)
{
    if (text.empty() || text.size() > 5 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    return std::stoul(std::string(text)) <= 65535;
}

// A host name of letters, digits, dots and hyphens, or a bracketed IPv6 address.
bool IsHostName(std::string_view text)
{
    if (text.empty())
        return false;
    if (text.front() == '[')
        return text.size() > 2 && text.back() == ']' && std::all_of(text.begin() + 1, text.end() - 1, [](char c) {
                   return std::isxdigit(static_cast<unsigned char>(c)) || c == ':' || c == '.';
               });
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-'; });
}

std::string_view Trim(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

constexpr const char* kLoopbackNames[] = {"127.0.0.1", "localhost", "[::1]"};

} // namespace

AccessPolicy::AccessPolicy(unsigned short hostPort) : port(hostPort)
{
    for (const char* name : kLoopbackNames)
        origins.insert("http://" + std::string(name) + ":" + std::to_string(port));
}

std::string AccessPolicy::Normalize(std::string_view origin)
{
    const std::string lower = Lower(origin);
    const auto schemeEnd = lower.find("://");
    if (schemeEnd == std::string::npos)
        return {};
    const std::string scheme = lower.substr(0, schemeEnd);
    if (scheme != "http" && scheme != "https")
        return {};
    std::string_view authority = std::string_view(lower).substr(schemeEnd + 3);
    if (!authority.empty() && authority.back() == '/')
        authority.remove_suffix(1);
    // The port follows the last colon outside an IPv6 address's brackets.
    const auto bracket = authority.rfind(']');
    const auto colon = authority.rfind(':');
    std::string_view host = authority;
    if (colon != std::string_view::npos && (bracket == std::string_view::npos || colon > bracket)) {
        if (!IsPort(authority.substr(colon + 1)))
            return {};
        host = authority.substr(0, colon);
    }
    if (!IsHostName(host))
        return {};
    return scheme + "://" + std::string(authority);
}

bool AccessPolicy::Allow(std::string_view origin)
{
    const std::string normal = Normalize(origin);
    if (normal.empty())
        return false;
    origins.insert(normal);
    return true;
}

bool AccessPolicy::AllowFromFile(const std::string& path, std::string& error)
{
    std::ifstream file(path);
    if (!file) {
        error = "cannot read the allowed origins in " + path;
        return false;
    }
    std::string line;
    for (int number = 1; std::getline(file, line); ++number) {
        const std::string_view text = Trim(line);
        if (text.empty() || text.front() == '#')
            continue;
        if (!Allow(text)) {
            error =
                path + ":" + std::to_string(number) + ": not an origin (scheme://host[:port]): " + std::string(text);
            return false;
        }
    }
    return true;
}

bool AccessPolicy::HostAllowed(std::string_view host) const
{
    const std::string lower = Lower(host);
    const std::string suffix = ":" + std::to_string(port);
    for (const char* name : kLoopbackNames)
        if (lower == name + suffix)
            return true;
    return false;
}

bool AccessPolicy::OriginAllowed(std::string_view origin) const
{
    // "null" (a sandboxed or file page) and anything with a path is never on the list.
    const std::string normal = Normalize(origin);
    return !normal.empty() && origins.count(normal) > 0;
}

bool AccessPolicy::OwnOrigin(std::string_view origin) const
{
    const std::string normal = Normalize(origin);
    const std::string prefix = "http://";
    return normal.starts_with(prefix) && HostAllowed(std::string_view(normal).substr(prefix.size()));
}

std::string AccessPolicy::FrameAncestors() const
{
    // Browsers take no IPv6 address in a source expression; such pages cannot show the frame.
    std::string list;
    for (const std::string& origin : origins)
        if (origin.find('[') == std::string::npos)
            list += (list.empty() ? "" : " ") + origin;
    return list;
}
