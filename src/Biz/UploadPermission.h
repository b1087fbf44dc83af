#pragma once
// Whether an upload task may post to its address, by the rules a browser applies to a
// page's own requests when the caller is untrusted: the page's own origin freely;
// another origin only after a CORS preflight allows the page's origin; a private or
// loopback address from a public page only with the private-network answer as well
// (asked even on the page's own origin, whose name may have been rebound). The
// address is resolved once and the posts are pinned to what was judged, so a DNS
// change cannot swap it. http and https only. A trusted caller may post anywhere.
// One decision per task: the first upload makes it, the others wait for it and use it.

#include "Http/HttpRequest.h"

#include <memory>
#include <mutex>
#include <optional>
#include <string>

class AppConfig;

class UploadPermission {
public:
    struct Verdict {
        // Empty when the posts may go; otherwise why not, for the log.
        std::string refusal;
        // For the posts: the addresses to connect to (HttpRequest::SetPinnedAddresses),
        // the Origin to send, and whether the reply must allow that origin too.
        std::string pinnedAddresses;
        std::string origin;
        bool crossOrigin = false;
    };

    explicit UploadPermission(std::shared_ptr<const AppConfig> config);

    // Any upload thread; the first call decides (and may send the preflight).
    const Verdict& Check(const HttpRequest::StopFlag& stopFlag);

private:
    Verdict Decide(const HttpRequest::StopFlag& stopFlag) const;

    std::shared_ptr<const AppConfig> config;
    std::mutex lock;
    std::optional<Verdict> verdict; // guarded by lock; set once
};
