#include "Http/CorsPreflight.h"

#include "Http/HttpClient.h"

#include <boost/algorithm/string/case_conv.hpp>
#include <boost/algorithm/string/classification.hpp>
#include <boost/algorithm/string/trim.hpp>

#include <optional>
#include <sstream>

namespace {

// A header name or list item as compared: without surrounding blanks, in lower case.
std::string Token(const std::string& text)
{
    return boost::algorithm::to_lower_copy(boost::algorithm::trim_copy_if(text, boost::algorithm::is_any_of(" \t")));
}

// A header's value, several lines of it joined with ", " as HTTP reads them; nothing
// when the header is absent.
std::optional<std::string> HeaderValue(const std::string& rawHeaders, const std::string& name)
{
    std::optional<std::string> value;
    std::istringstream lines(rawHeaders);
    std::string line;
    std::getline(lines, line); // the status line
    while (std::getline(lines, line)) {
        const auto colon = line.find(':');
        if (colon == std::string::npos || Token(line.substr(0, colon)) != name)
            continue;
        const std::string piece =
            boost::algorithm::trim_copy_if(line.substr(colon + 1), boost::algorithm::is_any_of(" \t\r"));
        value = value ? *value + ", " + piece : piece;
    }
    return value;
}

bool ListNames(const std::string& list, const std::string& name)
{
    std::istringstream items(list);
    for (std::string item; std::getline(items, item, ',');) {
        if (Token(item) == name)
            return true;
    }
    return false;
}

std::string Joined(const std::vector<std::string>& names)
{
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ",") + name;
    return text;
}

} // namespace

bool CorsPreflight::AllowsOrigin(const std::string& rawHeaders, const std::string& origin)
{
    const std::optional<std::string> allowed = HeaderValue(rawHeaders, "access-control-allow-origin");
    return allowed && (*allowed == "*" || *allowed == origin);
}

std::string CorsPreflight::Judge(std::int32_t status, const std::string& rawHeaders) const
{
    if (status < 200 || status > 299)
        return "the preflight was answered with HTTP status " + std::to_string(status);
    if (!AllowsOrigin(rawHeaders, origin))
        return "the preflight answer does not allow the origin " + origin;
    const std::string allowedHeaders = HeaderValue(rawHeaders, "access-control-allow-headers").value_or("");
    for (const std::string& header : headers) {
        const bool wildcard = header != "cookie" && ListNames(allowedHeaders, "*");
        if (!wildcard && !ListNames(allowedHeaders, header))
            return "the preflight answer does not allow the header " + header;
    }
    if (privateNetwork && HeaderValue(rawHeaders, "access-control-allow-private-network") != "true")
        return "the preflight answer does not allow a public page to reach this private address "
               "(Access-Control-Allow-Private-Network)";
    return {};
}

std::string CorsPreflight::Run() const
{
    std::string headerText = "Origin: " + origin + "\r\nAccess-Control-Request-Method: POST\r\n";
    if (!headers.empty())
        headerText += "Access-Control-Request-Headers: " + Joined(headers) + "\r\n";
    if (privateNetwork)
        headerText += "Access-Control-Request-Private-Network: true\r\n";
    HttpClient client;
    client.SetStopFlag(stopFlag);
    client.SetVerb(L"OPTIONS");
    client.SetHeaderText(headerText);
    client.SetPinnedAddresses(pinnedAddresses);
    if (!client.Send(url, L"", L"Quelvane7"))
        return "the preflight failed: " + (client.GetFailure().empty() ? "no answer" : client.GetFailure());
    return Judge(client.GetStatus(), client.GetRawResponseHeaders());
}
