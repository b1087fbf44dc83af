#include "Http/HttpClient.h"

#include "Http/BodyChunks.h"
#include "Http/CertificateCheck.h"
#include "Http/CurlLibrary.h"
#include "Http/ResponseHeaders.h"
#include "Http/ResponseText.h"
#include "Http/TlsExceptions.h"
#include "Http/UrlParts.h"
#include "Platform/Text/TextConv.h"

#include <cstring>
#include <memory>

using namespace Platform;

namespace {

// How long one wait for socket activity may last before the stop flag is looked at.
constexpr int kStopCheckMs = 50;

using HeaderList = std::unique_ptr<curl_slist, decltype(CurlLibrary::slist_free_all)>;

// The header text's lines, plus an empty Expect that keeps curl from waiting for a
// "100 Continue" the server may never send.
HeaderList MakeHeaderList(const CurlLibrary& curl, const std::string& headerText)
{
    curl_slist* list = nullptr;
    std::string::size_type start = 0;
    while (start < headerText.size()) {
        std::string::size_type end = headerText.find("\r\n", start);
        if (end == std::string::npos)
            end = headerText.size();
        if (end > start)
            list = curl.slist_append(list, headerText.substr(start, end - start).c_str());
        start = end + 2;
    }
    list = curl.slist_append(list, "Expect:");
    return HeaderList(list, curl.slist_free_all);
}

// The address, or the address with its path and query replaced by objectName.
std::string RequestUrl(const CurlLibrary& curl, const std::wstring& url, const std::wstring& objectName)
{
    const std::string address = WideToUtf8(url);
    if (objectName.empty())
        return address;
    CURLU* parts = curl.url();
    std::string result;
    char* full = nullptr;
    if (curl.url_set(parts, CURLUPART_URL, address.c_str(), 0) == CURLUE_OK &&
        curl.url_set(parts, CURLUPART_PATH, WideToUtf8(objectName).c_str(), 0) == CURLUE_OK &&
        curl.url_set(parts, CURLUPART_QUERY, nullptr, 0) == CURLUE_OK &&
        curl.url_get(parts, CURLUPART_URL, &full, 0) == CURLUE_OK) {
        result = full;
    }
    curl.free(full);
    curl.url_cleanup(parts);
    return result;
}

// The failures a person can act on, said plainly; the rest by curl's code.
std::string FailureText(CURLcode code, const HttpClient::TimeLimits& limits)
{
    switch (code) {
    case CURLE_UNSUPPORTED_PROTOCOL:
        return "unsupported scheme (only http and https)";
    case CURLE_URL_MALFORMAT:
        return "malformed address";
    case CURLE_COULDNT_RESOLVE_HOST:
        return "host not found";
    case CURLE_COULDNT_CONNECT:
        return "connection refused";
    case CURLE_OPERATION_TIMEDOUT:
        return "time-out: no connection within " + std::to_string(limits.connect.count() / 1000) + " s";
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
        return "connection broken";
    case CURLE_PARTIAL_FILE:
        return "no reply: the reply was cut off";
    case CURLE_PEER_FAILED_VERIFICATION:
        return "the server's certificate is not trusted (see tls-exceptions to accept it)";
    case CURLE_SSL_CONNECT_ERROR:
        return "secure connection failed";
    default:
        return "transfer failed (curl error " + std::to_string(static_cast<int>(code)) + ")";
    }
}

// Verified, unless the host is one the user or administrator listed.
CertificateRule RuleFor(const std::string& address)
{
    UrlParts parts;
    if (UrlParts::Parse(address, parts) && parts.scheme == "https" && TlsExceptions::Tolerated(parts.host, parts.port))
        return CertificateRule::Tolerant;
    return CertificateRule::Verified;
}

} // namespace

struct HttpClient::Transfer {
    const CurlLibrary& curl;
    HttpClient& client;
    BodyChunks chunks;
    std::string rawHeaders;
    ResponseText text;
    bool replyTooLong = false;
    std::unique_ptr<CURL, decltype(CurlLibrary::easy_cleanup)> easy;

    Transfer(const CurlLibrary& library, HttpClient& owner)
        : curl(library), client(owner), chunks(owner.bodyLength, owner.fileLength),
          easy(library.easy_init(), library.easy_cleanup)
    {
    }

    std::int64_t Uploaded() const
    {
        curl_off_t uploaded = 0;
        curl.easy_getinfo(easy.get(), CURLINFO_SIZE_UPLOAD_T, &uploaded);
        return uploaded;
    }
    // Bytes moved so far in either direction; the transfer stalls while it stays put.
    std::int64_t Activity() const
    {
        return Uploaded() + static_cast<std::int64_t>(rawHeaders.size() + text.Received());
    }
    // True once the connection (and its TLS handshake) is made.
    bool Connected() const
    {
        curl_off_t ready = 0;
        curl.easy_getinfo(easy.get(), CURLINFO_PRETRANSFER_TIME_T, &ready);
        return ready > 0 || Activity() > 0;
    }

    BodyChunks::Report Reporter()
    {
        return [this](std::uint32_t written, std::uint32_t length, std::uint32_t share) {
            client.progress(written, length, share);
        };
    }

    static std::size_t OnRead(char* buffer, std::size_t size, std::size_t count, void* context)
    {
        auto& self = *static_cast<Transfer*>(context);
        if (self.client.Interrupted())
            return CURL_READFUNC_ABORT;
        const std::int32_t piece = self.chunks.NextPiece(size * count);
        std::memcpy(buffer, self.client.body + self.chunks.HandedOut(), static_cast<std::size_t>(piece));
        self.chunks.MarkHandedOut(piece);
        return static_cast<std::size_t>(piece);
    }

    static int OnProgress(void* context, curl_off_t, curl_off_t, curl_off_t, curl_off_t uploaded)
    {
        auto& self = *static_cast<Transfer*>(context);
        self.chunks.ReportConfirmed(uploaded, self.Reporter());
        return self.client.Interrupted() ? 1 : 0;
    }

    static std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* context)
    {
        auto& self = *static_cast<Transfer*>(context);
        const std::size_t length = size * count;
        // Each reply (an interim one included) starts with its status line; only the
        // last reply's headers count.
        if (length >= 5 && std::memcmp(data, "HTTP/", 5) == 0)
            self.rawHeaders.clear();
        self.rawHeaders.append(data, length);
        if (self.rawHeaders.size() > ResponseText::MaxBodyBytes) {
            self.replyTooLong = true;
            return 0;
        }
        return self.client.Interrupted() ? 0 : length;
    }

    static std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* context)
    {
        auto& self = *static_cast<Transfer*>(context);
        const std::size_t length = size * count;
        if (!self.text.Append(data, length)) {
            self.replyTooLong = true;
            return 0;
        }
        return self.client.Interrupted() ? 0 : length;
    }
};

HttpClient::HttpClient() = default;

HttpClient::~HttpClient() = default;

void HttpClient::Abort()
{
    aborted = true;
}

bool HttpClient::Send(const std::wstring& url, const std::wstring& objectName, const std::wstring& agent)
{
    status = 0;
    response.clear();
    failure.clear();
    failureKind = FailureKind::None;
    responseHeaders.clear();
    rawResponseHeaders.clear();
    const CurlLibrary* curl = CurlLibrary::Get();
    if (Interrupted() || !curl)
        return false;
    Transfer transfer(*curl, *this);
    CURL* easy = transfer.easy.get();
    if (!easy)
        return false;
    const std::string address = RequestUrl(*curl, url, objectName);
    const std::string userAgent = WideToUtf8(agent);
    const std::string method = WideToUtf8(verb);
    const HeaderList headers = MakeHeaderList(*curl, headerText);
    const HeaderList pinned(pinnedAddresses.empty() ? nullptr : curl->slist_append(nullptr, pinnedAddresses.c_str()),
                            curl->slist_free_all);
    const auto setopt = curl->easy_setopt;

    setopt(easy, CURLOPT_URL, address.c_str());
    setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    setopt(easy, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_1);
    setopt(easy, CURLOPT_NOSIGNAL, 1L);
    setopt(easy, CURLOPT_USERAGENT, userAgent.c_str());
    setopt(easy, CURLOPT_HTTPHEADER, headers.get());
    if (pinned)
        setopt(easy, CURLOPT_RESOLVE, pinned.get());
    // A request of another verb without a body (a preflight's OPTIONS) carries neither
    // a body nor the headers of one.
    if (method == "POST" || bodyLength > 0) {
        setopt(easy, CURLOPT_POST, 1L);
        setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(std::max(bodyLength, 0)));
    }
    if (method != "POST")
        setopt(easy, CURLOPT_CUSTOMREQUEST, method.c_str());
    setopt(easy, CURLOPT_UPLOAD_BUFFERSIZE, static_cast<long>(BodyChunks::ChunkSize));
    setopt(easy, CURLOPT_READFUNCTION, &Transfer::OnRead);
    setopt(easy, CURLOPT_READDATA, &transfer);
    setopt(easy, CURLOPT_NOPROGRESS, 0L);
    setopt(easy, CURLOPT_XFERINFOFUNCTION, &Transfer::OnProgress);
    setopt(easy, CURLOPT_XFERINFODATA, &transfer);
    setopt(easy, CURLOPT_HEADERFUNCTION, &Transfer::OnHeader);
    setopt(easy, CURLOPT_HEADERDATA, &transfer);
    setopt(easy, CURLOPT_WRITEFUNCTION, &Transfer::OnBody);
    setopt(easy, CURLOPT_WRITEDATA, &transfer);
    UseCertificateRule(*curl, easy, RuleFor(address));
    setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(timeLimits.connect.count()));

    const bool result = Perform(transfer);
    return result && !Interrupted();
}

bool HttpClient::Perform(Transfer& transfer)
{
    const CurlLibrary& curl = transfer.curl;
    std::unique_ptr<CURLM, decltype(CurlLibrary::multi_cleanup)> multi(curl.multi_init(), curl.multi_cleanup);
    if (!multi || curl.multi_add_handle(multi.get(), transfer.easy.get()) != CURLM_OK)
        return false;
    const bool finished = RunUntilDone(multi.get(), transfer);
    CURLcode code = CURLE_OPERATION_TIMEDOUT;
    int left = 0;
    while (CURLMsg* message = curl.multi_info_read(multi.get(), &left)) {
        if (message->msg == CURLMSG_DONE)
            code = message->data.result;
    }
    curl.multi_remove_handle(multi.get(), transfer.easy.get());
    if (Interrupted()) {
        failure = "stopped";
        failureKind = FailureKind::Stopped;
    } else if (!finished) {
        failure = "time-out: no progress for " + std::to_string(timeLimits.stall.count() / 1000) + " s";
        failureKind = FailureKind::TimedOut;
    } else if (code != CURLE_OK) {
        failure = FailureText(code, timeLimits);
        failureKind = code == CURLE_OPERATION_TIMEDOUT ? FailureKind::TimedOut : FailureKind::Network;
    }

    // Every chunk handed to curl is reported, the one a failure interrupted included.
    transfer.chunks.ReportRest(transfer.Reporter());
    if (Interrupted() || transfer.replyTooLong)
        return false;
    if (transfer.rawHeaders.empty()) {
        // No reply. Only a server that took the whole body and then answered with
        // silence or garbage is an unreadable reply; a refused or broken connection
        // and a failed write just fail.
        if (bodyLength > 0 && transfer.Uploaded() >= bodyLength) {
            failure = "no reply";
            failureKind = FailureKind::Network;
            error(ReplyUnreadable);
        }
        return false;
    }
    // Only a reply that arrived whole is read: all of its Content-Length, the end of
    // its chunks, or the end of the connection when it gives neither. Whatever a
    // reply cut off begins with, it is no answer.
    if (!finished || code != CURLE_OK) {
        error(ReplyUnreadable);
        return false;
    }
    return ReadReply(transfer);
}

bool HttpClient::RunUntilDone(CURLM* multi, Transfer& transfer)
{
    const CurlLibrary& curl = transfer.curl;
    auto lastActivity = std::chrono::steady_clock::now();
    std::int64_t activity = 0;
    int running = 1;
    while (!Interrupted()) {
        if (curl.multi_perform(multi, &running) != CURLM_OK)
            return false;
        if (!running)
            return true;
        // Connecting has its own limit (curl's connect time-out); the no-progress
        // rule starts once the connection is made.
        const auto now = std::chrono::steady_clock::now();
        if (!transfer.Connected()) {
            lastActivity = now;
        } else if (transfer.Activity() != activity) {
            activity = transfer.Activity();
            lastActivity = now;
        } else if (now - lastActivity >= timeLimits.stall) {
            return false;
        }
        curl.multi_poll(multi, nullptr, 0, kStopCheckMs, nullptr);
    }
    return false;
}

bool HttpClient::ReadReply(Transfer& transfer)
{
    rawResponseHeaders = transfer.rawHeaders;
    responseHeaders = ParseResponseHeaders(transfer.rawHeaders);
    response = transfer.text.Text();
    long code = 0;
    transfer.curl.easy_getinfo(transfer.easy.get(), CURLINFO_RESPONSE_CODE, &code);
    if (code <= 0) {
        failure = "reply unreadable";
        failureKind = FailureKind::Network;
        error(ReplyUnreadable);
        return false;
    }
    status = static_cast<std::int32_t>(code);
    return true;
}
