#include "Platform/Win/Profile.h"

#include "Platform/Text/TextConv.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

namespace Platform {
namespace {

std::string ProfilePath()
{
    if (const char* path = std::getenv("TRELLAN_PROFILE"); path && *path)
        return path;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config == '/')
        return std::string(config) + "/trellan/win.ini";
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::string(home) + "/.config/trellan/win.ini";
    return {};
}

std::string Trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::string Lowered(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

std::optional<std::string> FindEntry(const std::string& section, const std::string& key)
{
    const std::string path = ProfilePath();
    if (path.empty())
        return std::nullopt;
    std::ifstream file(path);
    std::string line;
    bool inSection = false;
    while (std::getline(file, line)) {
        line = Trimmed(line);
        if (line.empty() || line[0] == ';')
            continue;
        if (line.front() == '[' && line.back() == ']') {
            inSection = Lowered(Trimmed(line.substr(1, line.size() - 2))) == section;
            continue;
        }
        const auto equals = line.find('=');
        if (inSection && equals != std::string::npos && Lowered(Trimmed(line.substr(0, equals))) == key)
            return Trimmed(line.substr(equals + 1));
    }
    return std::nullopt;
}

// The leading decimal number of text, saturated to the range of int.
int LeadingNumber(const std::string& text)
{
    long long value = 0;
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (negative || (!text.empty() && text[0] == '+'))
        ++i;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i)
        value = std::min<long long>(value * 10 + (text[i] - '0'), 1LL << 31);
    return static_cast<int>(std::clamp<long long>(negative ? -value : value, INT32_MIN, INT32_MAX));
}

} // namespace

UINT GetProfileIntW(const wchar_t* section, const wchar_t* key, int defaultValue)
{
    if (!section || !key)
        return static_cast<UINT>(defaultValue);
    const auto entry = FindEntry(Lowered(WideToUtf8(section)), Lowered(WideToUtf8(key)));
    return static_cast<UINT>(entry ? LeadingNumber(*entry) : defaultValue);
}

} // namespace Platform
