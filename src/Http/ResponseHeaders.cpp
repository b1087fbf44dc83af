#include "Http/ResponseHeaders.h"

#include <boost/algorithm/string/classification.hpp>
#include <boost/algorithm/string/split.hpp>

#include <vector>

std::map<std::string, std::string> ParseResponseHeaders(const std::string& rawHeaders)
{
    std::map<std::string, std::string> headers;
    std::vector<std::string> lines;
    boost::algorithm::split(lines, rawHeaders, boost::algorithm::is_any_of("\r\n"));
    for (const std::string& line : lines) {
        std::vector<std::string> pieces;
        boost::algorithm::split(pieces, line, boost::algorithm::is_any_of(":"));
        if (pieces.size() >= 2)
            headers.emplace(pieces[0], pieces[1]);
    }
    return headers;
}
