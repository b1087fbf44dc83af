#include "PageSession.h"

#include <boost/asio/read.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/core/buffers_to_string.hpp>
#include <boost/beast/websocket/rfc6455.hpp>

#include <algorithm>
#include <iostream>

namespace beast = boost::beast;
namespace websocket = beast::websocket;
using Platform::Web::FrameKind;

namespace {

// The page's socket is not read while more than this waits for the process.
constexpr std::size_t kQueueLimit = 8u << 20;
constexpr std::chrono::milliseconds kStartLimit(60000);

std::string MiBToBytes(long mebibytes)
{
    return std::to_string(static_cast<unsigned long long>(mebibytes) << 20);
}

} // namespace

PageSession::PageSession(HostContext& context, beast::tcp_stream stream)
    : host(context), page(std::move(stream)), process(page.get_executor()), watch(page.get_executor())
{
}

PageSession::~PageSession()
{
    ReturnSlots();
    // The process goes before its folder, so nothing writes there while it is removed.
    child.Kill();
}

void PageSession::ReturnSlots()
{
    if (holdsSlot)
        host.slots.ReturnSession();
    if (!servedOrigin.empty())
        host.slots.ReturnOrigin(servedOrigin);
    holdsSlot = false;
    servedOrigin.clear();
}

void PageSession::Start(beast::http::request<beast::http::string_body> request, std::string origin)
{
    pageOrigin = std::move(origin);
    page.read_message_max(kMaxMessage);
    page.set_option(websocket::stream_base::timeout::suggested(beast::role_type::server));
    page.set_option(websocket::stream_base::decorator(
        [](websocket::response_type& response) { response.set(beast::http::field::server, "trellan-host"); }));
    beast::get_lowest_layer(page).expires_never();
    page.async_accept(request, [self = shared_from_this()](beast::error_code error) { self->OnAccepted(error); });
}

void PageSession::OnAccepted(beast::error_code error)
{
    if (error)
        return;
    // Refused sessions are still accepted, so that the page learns why from the close.
    holdsSlot = host.slots.TakeSession();
    if (!holdsSlot) {
        End(kTooManySessions, "too many sessions are open (at most " + std::to_string(host.slots.Total()) +
                                  "); close another page that uses the control");
        return;
    }
    if (ServeOrigin(pageOrigin))
        StartProcess();
}

bool PageSession::ServeOrigin(const std::string& origin)
{
    if (!host.slots.TakeOrigin(origin)) {
        std::cerr << "trellan-host: refused a session of " << origin << ", which has " << host.slots.PerOrigin()
                  << " open\n";
        End(kTooManyForOrigin, "this site has too many sessions open (at most " +
                                   std::to_string(host.slots.PerOrigin()) + "); close one of its pages");
        return false;
    }
    servedOrigin = origin;
    return true;
}

void PageSession::StartProcess()
{
    std::string reason;
    folder = SessionFolder::Create(host.dropRoot, reason);
    std::vector<std::string> arguments;
    if (folder)
        arguments = {"--spool",
                     folder->Path(),
                     "--page-origin",
                     pageOrigin,
                     "--drop-quota",
                     MiBToBytes(host.options.dropQuotaMiB),
                     "--total-drop-quota",
                     MiBToBytes(host.options.totalDropQuotaMiB)};
    if (!host.options.modulePath.empty())
        arguments.insert(arguments.end(), {"--module", host.options.modulePath});
    const int socket = folder ? child.Start(host.sessionProgram, arguments, reason) : -1;
    if (socket < 0) {
        std::cerr << "trellan-host: " << reason << "\n";
        End(kProcessNotStarted, "the control could not be started");
        return;
    }
    process.assign(boost::asio::local::stream_protocol(), socket);
    lastAnswer = Clock::now();
    ReadPage();
    ReadProcessHeader();
    WatchProcess();
}

void PageSession::ReadPage()
{
    page.async_read(pageBuffer, [self = shared_from_this()](beast::error_code error, std::size_t size) {
        self->OnPageMessage(error, size);
    });
}

void PageSession::OnPageMessage(beast::error_code error, std::size_t)
{
    if (error) {
        // The page left, or broke the protocol (the stream has answered with its close
        // code, such as 1009 for a message over the limit).
        End(websocket::close_code::normal, "");
        return;
    }
    SendToProcess(page.got_text() ? FrameKind::Text : FrameKind::Binary, beast::buffers_to_string(pageBuffer.data()));
    pageBuffer.consume(pageBuffer.size());
    if (queuedBytes > kQueueLimit)
        pageReadPaused = true;
    else
        ReadPage();
}

void PageSession::SendToProcess(FrameKind kind, std::string payload)
{
    if (ended)
        return;
    std::string frame = Platform::Web::EncodeFrameHeader(kind, payload.size());
    frame += payload;
    queuedBytes += frame.size();
    processQueue.push_back(std::move(frame));
    if (processQueue.size() == 1)
        WriteProcess();
}

void PageSession::WriteProcess()
{
    boost::asio::async_write(process, boost::asio::buffer(processQueue.front()),
                             [self = shared_from_this()](beast::error_code error, std::size_t) {
                                 if (error || self->ended)
                                     return;
                                 self->queuedBytes -= self->processQueue.front().size();
                                 self->processQueue.pop_front();
                                 if (!self->processQueue.empty())
                                     self->WriteProcess();
                                 if (self->pageReadPaused && self->queuedBytes <= kQueueLimit) {
                                     self->pageReadPaused = false;
                                     self->ReadPage();
                                 }
                             });
}

void PageSession::ReadProcessHeader()
{
    boost::asio::async_read(process, boost::asio::buffer(headerBytes),
                            [self = shared_from_this()](beast::error_code error, std::size_t) {
                                if (error) {
                                    self->End(kProcessEnded, "the control's process ended");
                                    return;
                                }
                                const auto header = Platform::Web::DecodeFrameHeader(self->headerBytes.data());
                                if (!header) {
                                    self->End(kProcessEnded, "the control's process sent a broken frame");
                                    return;
                                }
                                self->ReadProcessPayload(*header);
                            });
}

void PageSession::ReadProcessPayload(Platform::Web::FrameHeader header)
{
    processPayload.resize(header.payloadSize);
    boost::asio::async_read(process, boost::asio::buffer(processPayload),
                            [self = shared_from_this(), kind = header.kind](beast::error_code error, std::size_t) {
                                if (error) {
                                    self->End(kProcessEnded, "the control's process ended");
                                    return;
                                }
                                self->OnProcessFrame(kind);
                            });
}

void PageSession::OnProcessFrame(FrameKind kind)
{
    lastAnswer = Clock::now();
    answered = true;
    if (kind == FrameKind::Pong || kind == FrameKind::Ping) {
        ReadProcessHeader();
        return;
    }
    // The next frame is read once the page has taken this one: a slow page slows its
    // process, which coalesces its pictures meanwhile.
    page.text(kind == FrameKind::Text);
    writingToPage = true;
    page.async_write(boost::asio::buffer(processPayload),
                     [self = shared_from_this()](beast::error_code error, std::size_t) {
                         self->writingToPage = false;
                         self->lastAnswer = Clock::now();
                         if (error) {
                             self->End(websocket::close_code::normal, "");
                             return;
                         }
                         self->ReadProcessHeader();
                     });
}

void PageSession::WatchProcess()
{
    const std::chrono::milliseconds timeout(host.options.hangTimeoutSeconds * 1000);
    // Four pings a time-out: a process that answers none of them is hung.
    watch.expires_after(timeout / 4);
    watch.async_wait([self = shared_from_this(), timeout](beast::error_code error) {
        if (error || self->ended)
            return;
        // While a slow page holds a frame the process's answers wait unread; that is no hang.
        if (self->writingToPage)
            self->lastAnswer = Clock::now();
        // Starting the control may take long on a busy machine: until the process has said
        // anything at all, it has at least kStartLimit.
        const auto limit = self->answered ? timeout : std::max<std::chrono::milliseconds>(timeout, kStartLimit);
        if (Clock::now() - self->lastAnswer > limit) {
            self->End(kProcessHung, "the control stopped responding");
            return;
        }
        self->SendToProcess(FrameKind::Ping, {});
        self->WatchProcess();
    });
}

void PageSession::End(unsigned short code, const std::string& reason)
{
    if (ended)
        return;
    ended = true;
    // An ended session holds no slot, even while its page takes long to answer the close.
    ReturnSlots();
    watch.cancel();
    child.Kill();
    beast::error_code ignored;
    process.close(ignored);
    if (!page.is_open())
        return;
    websocket::close_reason why(static_cast<std::uint16_t>(code));
    why.reason = reason;
    page.async_close(why, [self = shared_from_this()](beast::error_code) {});
}
