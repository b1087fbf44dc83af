#pragma once
// The CORS preflight a browser sends before a page's cross-origin POST, sent by the
// control for an untrusted caller: OPTIONS to the address with Origin,
// Access-Control-Request-Method: POST, Access-Control-Request-Headers naming the
// headers of the post that are not safelisted, and, when a public page reaches a
// private address, Access-Control-Request-Private-Network: true. The answer allows
// the post when its status is 2xx and it allows the origin ("*" or the origin
// itself), each requested header (a "*" never stands for cookie), and, when asked,
// the private network ("Access-Control-Allow-Private-Network: true").

#include "Http/HttpRequest.h"

#include <string>
#include <vector>

class CorsPreflight {
public:
    std::wstring url;
    std::string origin;
    // Lower-case names of the headers to ask for, such as "cookie".
    std::vector<std::string> headers;
    bool privateNetwork = false;
    // As HttpRequest::SetPinnedAddresses.
    std::string pinnedAddresses;
    HttpRequest::StopFlag stopFlag;

    // Empty when the answer allows the post; otherwise why not, for the log.
    std::string Run() const;

    // Whether a reply's raw header block allows origin to read it.
    static bool AllowsOrigin(const std::string& rawHeaders, const std::string& origin);
    // Judges an answer's status and raw headers; empty when it allows the post.
    std::string Judge(std::int32_t status, const std::string& rawHeaders) const;
};
