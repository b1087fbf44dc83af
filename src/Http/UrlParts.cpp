#include "Http/UrlParts.h"

#include "Http/CurlLibrary.h"

#include <boost/algorithm/string/case_conv.hpp>

#include <cstdlib>
#include <memory>

bool UrlParts::Parse(const std::string& text, UrlParts& parts)
{
    const CurlLibrary* curl = CurlLibrary::Get();
    if (!curl)
        return false;
    std::unique_ptr<CURLU, decltype(CurlLibrary::url_cleanup)> url(curl->url(), curl->url_cleanup);
    // Only an address with its own scheme: "example.com/x" is not guessed to be http.
    if (!url || curl->url_set(url.get(), CURLUPART_URL, text.c_str(), CURLU_NON_SUPPORT_SCHEME) != CURLUE_OK)
        return false;
    char* scheme = nullptr;
    char* host = nullptr;
    char* port = nullptr;
    const bool read = curl->url_get(url.get(), CURLUPART_SCHEME, &scheme, 0) == CURLUE_OK &&
                      curl->url_get(url.get(), CURLUPART_HOST, &host, 0) == CURLUE_OK &&
                      curl->url_get(url.get(), CURLUPART_PORT, &port, CURLU_DEFAULT_PORT) == CURLUE_OK;
    if (read) {
        parts.scheme = boost::algorithm::to_lower_copy(std::string(scheme));
        parts.host = boost::algorithm::to_lower_copy(std::string(host));
        if (parts.host.size() > 1 && parts.host.front() == '[')
            parts.host = parts.host.substr(1, parts.host.size() - 2);
        parts.port = std::atoi(port);
    }
    curl->free(scheme);
    curl->free(host);
    curl->free(port);
    return read && !parts.host.empty();
}

std::string UrlParts::Origin() const
{
    const bool defaultPort = (scheme == "http" && port == 80) || (scheme == "https" && port == 443);
    const std::string shownHost = host.find(':') != std::string::npos ? "[" + host + "]" : host;
    return scheme + "://" + shownHost + (defaultPort ? "" : ":" + std::to_string(port));
}
