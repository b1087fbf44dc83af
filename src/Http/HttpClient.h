#pragma once
// Sends one HttpRequest over HTTP or HTTPS with libcurl: the header block as given
// (curl adds only Host, Content-Length and the user agent), the body streamed from
// the caller's buffer in 131,072-byte chunks with a progress notification after each,
// then the reply headers, body and status. No cookie store, the proxy from the
// environment, certificates verified except for the hosts listed as exceptions
// (TlsExceptions). The stop flag and Abort end a transfer within a fraction of a
// second, and a server that stalls ends it too.

#include "Http/HttpRequest.h"

#include <atomic>
#include <chrono>

class HttpClient : public HttpRequest {
public:
    struct TimeLimits {
        std::chrono::milliseconds connect{60000};
        // No byte sent or received for this long ends the exchange.
        std::chrono::milliseconds stall{30000};
    };

    HttpClient();
    ~HttpClient() override;

    bool Send(const std::wstring& url, const std::wstring& objectName, const std::wstring& agent) override;
    // Any thread: ends a transfer in progress as a stop would.
    void Abort() override;

    void SetTimeLimits(const TimeLimits& limits) { timeLimits = limits; }

private:
    struct Transfer;

    bool Interrupted() const { return Stopped() || aborted.load(); }
    bool Perform(Transfer& transfer);
    // Drives the transfer; false when it was interrupted or stalled before the end.
    bool RunUntilDone(void* multi, Transfer& transfer);
    bool ReadReply(Transfer& transfer);

    TimeLimits timeLimits;
    std::atomic<bool> aborted{false};
};
