#pragma once
// Who may talk to the host. Pages reach it from their browser, so every request is
// judged by two headers the browser sets and a page cannot forge: the Host header must
// name the loopback address or localhost with the host's own port (a page on another
// name that resolves to 127.0.0.1, a DNS-rebinding attack, is refused), and the Origin
// of an upload must be on the allowlist. Sessions are opened only by the control's frame,
// which is the host's own origin and may be shown only in pages on the allowlist.

#include <set>
#include <string>
#include <string_view>

class AccessPolicy {
public:
    // The host's own origins (127.0.0.1, localhost and [::1] on port) are always allowed.
    explicit AccessPolicy(unsigned short port);

    // Adds an origin such as "https://example.com" or "http://localhost:3000"; false
    // when the text is not a scheme, host and optional port without a path.
    bool Allow(std::string_view origin);
    // Reads allowed origins from a file, one a line; blank lines and lines starting with
    // "#" are skipped. False with the reason in error for an unreadable file or a bad line.
    bool AllowFromFile(const std::string& path, std::string& error);

    bool HostAllowed(std::string_view host) const;
    bool OriginAllowed(std::string_view origin) const;
    // One of the host's own origins: only the frame it serves has one.
    bool OwnOrigin(std::string_view origin) const;
    // The origins that may show the frame, space-separated as frame-ancestors takes them
    // (IPv6 addresses left out).
    std::string FrameAncestors() const;
    unsigned short Port() const { return port; }

    // The origin in the lower-case form the allowlist keeps, or empty when it is no origin.
    static std::string Normalize(std::string_view origin);

private:
    unsigned short port;
    std::set<std::string> origins;
};
