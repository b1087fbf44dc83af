#pragma once
// One page's session: the page's WebSocket on one side, its own control process on the
// other, and the messages relayed between them unchanged in local frames. A crash or
// hang of the process closes this page's socket with a close code that says so; the
// page closing its socket ends the process. Nothing that happens here reaches other
// sessions or the host.

#include "HostContext.h"
#include "SessionFolder.h"
#include "SessionProcess.h"

#include "Platform/Web/ChannelFrame.h"

#include <boost/asio/local/stream_protocol.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/http/message.hpp>
#include <boost/beast/http/string_body.hpp>
#include <boost/beast/websocket/stream.hpp>

#include <array>
#include <chrono>
#include <deque>
#include <memory>
#include <string>

class PageSession : public std::enable_shared_from_this<PageSession> {
public:
    // Close codes the page sees (besides the protocol's own, such as 1009 for a message
    // over the size limit).
    static constexpr unsigned short kProcessEnded = 4002;
    static constexpr unsigned short kProcessHung = 4003;
    static constexpr unsigned short kProcessNotStarted = 4004;
    static constexpr unsigned short kTooManySessions = 4005;
    static constexpr unsigned short kTooManyForOrigin = 4006;
    // The largest message a page may send.
    static constexpr std::size_t kMaxMessage = 4u << 20;

    PageSession(HostContext& host, boost::beast::tcp_stream stream);
    ~PageSession();

    // Completes the WebSocket handshake of request and starts the session for the page
    // on pageOrigin (checked against the allowlist), which the control is told.
    void Start(boost::beast::http::request<boost::beast::http::string_body> request, std::string pageOrigin);

private:
    using Clock = std::chrono::steady_clock;

    void OnAccepted(boost::beast::error_code error);
    // Counts the session against the page origin it serves; false (and the session
    // ended with a reason the page can show) when that origin has all its sessions.
    bool ServeOrigin(const std::string& origin);
    void StartProcess();
    void ReturnSlots();
    void ReadPage();
    void OnPageMessage(boost::beast::error_code error, std::size_t size);
    void SendToProcess(Platform::Web::FrameKind kind, std::string payload);
    void WriteProcess();
    void ReadProcessHeader();
    void ReadProcessPayload(Platform::Web::FrameHeader header);
    void OnProcessFrame(Platform::Web::FrameKind kind);
    void WatchProcess();
    // Ends the session: closes the page's socket with code and reason (unless the page
    // went first) and ends the process.
    void End(unsigned short code, const std::string& reason);

    HostContext& host;
    boost::beast::websocket::stream<boost::beast::tcp_stream> page;
    boost::asio::local::stream_protocol::socket process;
    boost::asio::steady_timer watch;
    SessionProcess child;
    std::unique_ptr<SessionFolder> folder;
    // The page's origin as the frame reported it and the allowlist admitted it, given to
    // the process as the page's origin.
    std::string pageOrigin;
    boost::beast::flat_buffer pageBuffer;
    std::array<unsigned char, Platform::Web::kFrameHeaderSize> headerBytes{};
    std::string processPayload;
    // Local frames waiting to go to the process, and their bytes; the page's socket is
    // not read while they are over a limit, so a slow process slows its page.
    std::deque<std::string> processQueue;
    std::size_t queuedBytes = 0;
    bool pageReadPaused = false;
    Clock::time_point lastAnswer;
    bool writingToPage = false;
    bool answered = false; // the process has sent a frame

    bool holdsSlot = false;
    std::string servedOrigin; // the page origin whose slot this session holds, or empty
    bool ended = false;
};
