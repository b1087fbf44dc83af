#include "Http/TlsExceptions.h"

#include <boost/algorithm/string/case_conv.hpp>
#include <boost/algorithm/string/classification.hpp>
#include <boost/algorithm/string/trim.hpp>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <fstream>
#include <vector>

namespace {

std::atomic<bool> everyHost{false};

std::vector<std::string> Files()
{
    std::vector<std::string> files;
    const char* system = std::getenv("TRELLAN_CONFIG_DIR");
    files.push_back(std::string(system && *system ? system : "/etc/trellan") + "/tls-exceptions");
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config == '/')
        files.push_back(std::string(config) + "/trellan/tls-exceptions");
    else if (const char* home = std::getenv("HOME"); home && *home)
        files.push_back(std::string(home) + "/.config/trellan/tls-exceptions");
    return files;
}

} // namespace

void TlsExceptions::TolerateEveryHost()
{
    everyHost = true;
}

bool TlsExceptions::LineNames(const std::string& text, const std::string& host, int port)
{
    const std::string line = boost::algorithm::to_lower_copy(
        boost::algorithm::trim_copy_if(text.substr(0, text.find('#')), boost::algorithm::is_any_of(" \t\r")));
    if (line.empty())
        return false;
    std::string listedHost = line;
    std::string listedPort;
    if (line.front() == '[') {
        const auto close = line.find(']');
        if (close == std::string::npos)
            return false;
        listedHost = line.substr(1, close - 1);
        const std::string rest = line.substr(close + 1);
        if (!rest.empty() && (rest.front() != ':' || rest.size() == 1))
            return false;
        listedPort = rest.empty() ? "" : rest.substr(1);
    } else if (std::count(line.begin(), line.end(), ':') == 1) {
        listedHost = line.substr(0, line.find(':'));
        listedPort = line.substr(line.find(':') + 1);
    }
    if (listedHost != boost::algorithm::to_lower_copy(host))
        return false;
    return listedPort.empty() || listedPort == std::to_string(port);
}

bool TlsExceptions::Tolerated(const std::string& host, int port)
{
    if (everyHost)
        return true;
    for (const std::string& file : Files()) {
        std::ifstream in(file);
        for (std::string line; std::getline(in, line);) {
            if (LineNames(line, host, port))
                return true;
        }
    }
    return false;
}
