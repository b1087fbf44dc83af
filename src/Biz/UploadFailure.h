#pragma once
// Why one attempt at sending a file failed: a stable code for the page, a text for
// people, the HTTP status when a reply came, and whether another attempt may help.
//
// Codes: "network" (no connection, a broken one, no readable reply), "timeout",
// "http_status" (a status outside 200 to 299), "not_success" (a reply whose
// "success" is not 1: the server's decision), "destination_refused" (the page may
// not post there), "unreadable" (the picture could not be read or encoded) and
// "cancelled" (the user stopped the upload).

#include <cstdint>
#include <optional>
#include <string>

class HttpRequest;

struct UploadFailure {
    std::string code;
    std::string text;
    std::int32_t status = 0;
    // The wait the server asked for with Retry-After, in milliseconds.
    std::optional<std::int32_t> retryAfter;

    // The failure of an exchange that went through to the end, or nothing when the
    // reply accepted the file. accepted: the reply's verdict.
    static std::optional<UploadFailure> OfExchange(const HttpRequest& client, bool accepted);
    static UploadFailure Cancelled();

    // A network error, a time-out, a 5xx or a 429: worth another attempt.
    bool Retryable() const;
};
