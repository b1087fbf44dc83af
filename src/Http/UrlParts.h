#pragma once
// The scheme, host and port of an address, as libcurl reads it, and the origin they
// make ("https://example.com", "http://127.0.0.1:8080"): what the rules for an
// untrusted caller compare.

#include <string>

struct UrlParts {
    std::string scheme; // lower case
    std::string host; // lower case; IPv6 without brackets
    int port = 0; // the scheme's default when the address has none

    // False when text is no address with a scheme and a host.
    static bool Parse(const std::string& text, UrlParts& parts);
    // scheme://host[:port], the port left out when it is the scheme's default.
    std::string Origin() const;
    bool SameOrigin(const UrlParts& other) const
    {
        return scheme == other.scheme && host == other.host && port == other.port;
    }
};
