#include "HttpConnection.h"

#include "PageSession.h"

#include "Platform/Text/TextConv.h"

#include <boost/beast/http/read.hpp>
#include <boost/beast/http/write.hpp>
#include <boost/beast/websocket/rfc6455.hpp>

namespace beast = boost::beast;
namespace http = beast::http;

namespace {

constexpr auto kIdleTimeout = std::chrono::seconds(30);
// How long a closing connection goes on taking what the client still sends, so that
// closing with unread bytes does not reset the connection before the answer is read.
constexpr auto kLingerTime = std::chrono::seconds(5);

// The percent-decoded value of a query parameter of target, or empty.
std::string QueryValue(std::string_view target, std::string_view name)
{
    const auto question = target.find('?');
    if (question == std::string_view::npos)
        return {};
    std::string_view query = target.substr(question + 1);
    query = query.substr(0, query.find('#'));
    while (!query.empty()) {
        const auto end = query.find('&');
        const std::string_view pair = query.substr(0, end);
        query = end == std::string_view::npos ? std::string_view() : query.substr(end + 1);
        if (!pair.starts_with(name) || pair.size() <= name.size() || pair[name.size()] != '=')
            continue;
        std::string value;
        const std::string_view coded = pair.substr(name.size() + 1);
        for (std::size_t i = 0; i < coded.size(); ++i) {
            const bool escaped = coded[i] == '%' && i + 2 < coded.size() &&
                                 Platform::HexDigitValue(coded[i + 1]) >= 0 &&
                                 Platform::HexDigitValue(coded[i + 2]) >= 0;
            if (escaped) {
                value += static_cast<char>(Platform::HexDigitValue(coded[i + 1]) * 16 +
                                           Platform::HexDigitValue(coded[i + 2]));
                i += 2;
            } else {
                value += coded[i] == '+' ? ' ' : coded[i];
            }
        }
        return value;
    }
    return {};
}

// The frame runs only its own script and talks only to its host.
std::string FramePolicy(const AccessPolicy& policy, std::string_view hostHeader)
{
    return "default-src 'none'; script-src 'self'; style-src 'self'; img-src blob:; connect-src 'self' ws://" +
           std::string(hostHeader) + "; base-uri 'none'; form-action 'none'; frame-ancestors " +
           policy.FrameAncestors();
}

} // namespace

HttpConnection::HttpConnection(HostContext& context, boost::asio::ip::tcp::socket socket)
    : host(context), stream(std::move(socket))
{
}

void HttpConnection::Start()
{
    ReadHeader();
}

void HttpConnection::ReadHeader()
{
    parser.emplace();
    parser->header_limit(16u << 10);
    // The parser checks a Content-Length against this limit while it reads the header,
    // before the path is known; so it is the largest of any path, and OnHeader applies
    // the path's own.
    parser->body_limit(kMaxUpload);
    stream.expires_after(kIdleTimeout);
    http::async_read_header(stream, buffer, *parser, [self = shared_from_this()](beast::error_code error, std::size_t) {
        self->OnHeader(error);
    });
}

void HttpConnection::OnHeader(beast::error_code error)
{
    if (error == http::error::body_limit) {
        RefuseTooLarge();
        return;
    }
    if (error)
        return;
    host.lastRequest = std::chrono::steady_clock::now();
    const auto& header = parser->get();
    const bool upload = header.method() == http::verb::post && header.target() == "/demo/upload" && host.demo;
    const std::uint64_t limit = upload ? kMaxUpload : kMaxBody;
    if (parser->content_length().value_or(0) > limit) {
        RefuseTooLarge();
        return;
    }
    // A chunked body is counted against the limit as it comes.
    parser->body_limit(limit);
    stream.expires_after(std::chrono::minutes(5));
    http::async_read(stream, buffer, *parser,
                     [self = shared_from_this()](beast::error_code error, std::size_t) { self->OnRequest(error); });
}

void HttpConnection::OnRequest(beast::error_code error)
{
    if (error == http::error::body_limit) {
        RefuseTooLarge();
        return;
    }
    if (error)
        return;
    Request request = parser->release();
    if (std::optional<Response> response = Answer(request))
        Send(std::move(*response));
}

void HttpConnection::RefuseTooLarge()
{
    Request request = parser->release();
    request.keep_alive(false);
    Send(Text(request, http::status::payload_too_large, "the request's body is too large\n"));
}

std::optional<HttpConnection::Response> HttpConnection::Answer(Request& request)
{
    const std::string_view hostHeader = request[http::field::host];
    if (!host.policy.HostAllowed(hostHeader))
        return Text(request, http::status::forbidden,
                    "trellan-host answers only at 127.0.0.1, localhost or [::1] with its port\n");
    const std::string_view origin = request[http::field::origin];
    const bool originAllowed = host.policy.OriginAllowed(origin);
    const std::string_view target = request.target();

    if (request.method() == http::verb::options)
        return Preflight(request, originAllowed);
    if (beast::websocket::is_upgrade(request)) {
        if (target.substr(0, target.find('?')) != "/session")
            return Text(request, http::status::not_found, "sessions are opened at /session\n");
        // Only the control's frame opens sessions; it names the page that shows it, which
        // the frame's Content-Security-Policy has already held to the allowlist.
        if (!host.policy.OwnOrigin(origin))
            return Text(request, http::status::forbidden, "sessions are opened only by the control's frame\n");
        const std::string pageOrigin = AccessPolicy::Normalize(QueryValue(target, "origin"));
        if (!host.policy.OriginAllowed(pageOrigin))
            return Text(request, http::status::forbidden,
                        "this page's origin is not allowed; start trellan-host with --allow-origin ORIGIN\n");
        std::make_shared<PageSession>(host, std::move(stream))->Start(std::move(request), pageOrigin);
        return std::nullopt;
    }
    if (target == "/status") {
        // Pages of other sites may not read it, so they cannot tell that the host runs;
        // local tools, which send no Origin, may.
        if (!origin.empty() && !originAllowed)
            return Text(request, http::status::forbidden, "this page's origin is not allowed\n");
        Response response = Text(request, http::status::ok,
                                 std::string("{\"host\":\"trellan-host\",\"originAllowed\":") +
                                     (originAllowed ? "true" : "false") + "}\n",
                                 "application/json");
        if (originAllowed)
            response.set(http::field::access_control_allow_origin, origin);
        response.set(http::field::vary, "Origin");
        return response;
    }
    if (host.demo && target == "/demo/upload" && request.method() == http::verb::post) {
        // The control posts without an Origin; a page of another site may not.
        if (!origin.empty() && !originAllowed)
            return Text(request, http::status::forbidden, "this page's origin is not allowed\n");
        const DemoReceiver::Reply reply = host.demo->Receive(request[http::field::content_type], request.body());
        Response response = Text(request, static_cast<http::status>(reply.status), reply.body, "application/json");
        // The control of a page on an allowed origin reads the reply only when it is
        // shared with that origin, as the preflight said it would be.
        if (!origin.empty()) {
            response.set(http::field::access_control_allow_origin, origin);
            response.set(http::field::vary, "Origin");
        }
        return response;
    }
    if (request.method() != http::verb::get && request.method() != http::verb::head)
        return Text(request, http::status::method_not_allowed, "the host answers GET here\n");
    if (host.demo && target == "/demo/samples")
        return Text(request, http::status::ok, host.demo->Samples(), "application/json");
    if (target == "/" || target == "/demo") {
        Response response = Text(request, http::status::found, "");
        response.set(http::field::location, host.demo ? "/demo/" : "/trellan.js");
        return response;
    }
    const std::optional<StaticFiles::Answer> file = host.files.Find(target);
    if (!file)
        return Text(request, http::status::not_found, "not found\n");
    Response response =
        Text(request, http::status::ok, std::string(file->content), std::string(file->contentType).c_str());
    if (originAllowed)
        response.set(http::field::access_control_allow_origin, origin);
    response.set(http::field::vary, "Origin");
    response.set(http::field::cache_control, "no-cache");
    if (file->isFrame)
        response.set("Content-Security-Policy", FramePolicy(host.policy, hostHeader));
    return response;
}

HttpConnection::Response HttpConnection::Preflight(const Request& request, bool originAllowed) const
{
    // Answered for allowed origins only: another site's page gets no permission to
    // reach this private address.
    if (!originAllowed)
        return Text(request, http::status::forbidden, "this page's origin is not allowed\n");
    Response response = Text(request, http::status::no_content, "");
    response.set(http::field::access_control_allow_origin, request[http::field::origin]);
    response.set(http::field::access_control_allow_methods, "GET, POST");
    if (const auto headers = request[http::field::access_control_request_headers]; !headers.empty())
        response.set(http::field::access_control_allow_headers, headers);
    if (request["Access-Control-Request-Private-Network"] == "true")
        response.set("Access-Control-Allow-Private-Network", "true");
    response.set(http::field::access_control_max_age, "600");
    response.set(http::field::vary, "Origin");
    return response;
}

HttpConnection::Response HttpConnection::Text(const Request& request, http::status status, std::string body,
                                              const char* contentType) const
{
    Response response(status, request.version());
    response.set(http::field::server, "trellan-host");
    response.set(http::field::content_type, contentType);
    response.set("X-Content-Type-Options", "nosniff");
    response.keep_alive(request.keep_alive());
    response.body() = request.method() == http::verb::head ? std::string() : std::move(body);
    response.prepare_payload();
    return response;
}

void HttpConnection::Send(Response response)
{
    auto message = std::make_shared<Response>(std::move(response));
    http::async_write(stream, *message, [self = shared_from_this(), message](beast::error_code error, std::size_t) {
        if (error || !message->keep_alive()) {
            beast::error_code ignored;
            self->stream.socket().shutdown(boost::asio::ip::tcp::socket::shutdown_send, ignored);
            self->stream.expires_after(kLingerTime);
            self->Linger();
            return;
        }
        self->ReadHeader();
    });
}

void HttpConnection::Linger()
{
    buffer.consume(buffer.size());
    stream.async_read_some(buffer.prepare(64u << 10),
                           [self = shared_from_this()](beast::error_code error, std::size_t) {
                               if (!error)
                                   self->Linger();
                           });
}
