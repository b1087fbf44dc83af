#pragma once
// The data of one HTTP request and its notifications; HttpClient sends it.

#include "Platform/Signal.h"

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

class HttpRequest {
public:
    using StopFlag = std::shared_ptr<std::atomic<bool>>;

    // What kind of failure ended the last Send, for a caller that decides on a retry.
    enum class FailureKind { None, Stopped, TimedOut, Network };

    // Codes of the error notification.
    static constexpr std::uint32_t NotAccepted = 1;
    static constexpr std::uint32_t ReplyUnreadable = 2;

    virtual ~HttpRequest() = default;

    // True when the request went through and the stop flag is clear at the end.
    virtual bool Send(const std::wstring& url, const std::wstring& objectName, const std::wstring& agent);
    virtual void Abort();

    void SetHeaderText(const std::string& text) { headerText = text; }
    // The body is not copied and must outlive Send; fileLength is the size of the
    // file part's data, against which progress shares are counted.
    void SetBody(const std::uint8_t* data, std::int32_t length, std::int32_t fileBytes);
    void SetStopFlag(StopFlag flag) { stopFlag = std::move(flag); }
    void SetVerb(const std::wstring& method) { verb = method; }
    // Connects only to these addresses for the address's host and port, as libcurl's
    // "host:port:address[,address]" entry says; empty resolves as usual.
    void SetPinnedAddresses(const std::string& entry) { pinnedAddresses = entry; }

    const std::string& GetResponse() const { return response; }
    // Why the last Send failed, for people ("connection refused", "time-out ..."); empty
    // when it went through.
    const std::string& GetFailure() const { return failure; }
    FailureKind GetFailureKind() const { return failureKind; }
    std::int32_t GetStatus() const { return status; }
    const std::map<std::string, std::string>& GetResponseHeaders() const { return responseHeaders; }
    // The reply's header block as it came, status line included.
    const std::string& GetRawResponseHeaders() const { return rawResponseHeaders; }

    // code: NotAccepted or ReplyUnreadable.
    Platform::Signal<void(std::uint32_t)> error;
    // (body bytes written so far, chunk length, the chunk's file share), per chunk.
    Platform::Signal<void(std::uint32_t, std::uint32_t, std::uint32_t)> progress;

protected:
    bool Stopped() const { return stopFlag && stopFlag->load(); }

    std::int32_t status = 0;
    std::string response;
    std::string failure;
    FailureKind failureKind = FailureKind::None;
    std::string headerText;
    std::map<std::string, std::string> responseHeaders;
    std::string rawResponseHeaders;
    std::string pinnedAddresses;
    StopFlag stopFlag;
    std::wstring verb = L"POST";
    const std::uint8_t* body = nullptr;
    std::int32_t bodyLength = 0;
    std::int32_t fileLength = 0;
};
