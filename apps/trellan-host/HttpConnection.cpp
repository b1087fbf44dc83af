#include "HttpConnection.h"

#include "PageSession.h"

#include <boost/beast/http/read.hpp>
#include <boost/beast/http/write.hpp>
#include <boost/beast/websocket/rfc6455.hpp>

namespace beast = boost::beast;
namespace http = beast::http;

namespace {
constexpr auto kIdleTimeout = std::chrono::seconds(30);
}

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
    parser->body_limit(kMaxBody);
    stream.expires_after(kIdleTimeout);
    http::async_read_header(stream, buffer, *parser,
                            [self = shared_from_this()](beast::error_code error, std::size_t) { self->OnHeader(error); });
}

void HttpConnection::OnHeader(beast::error_code error)
{
    if (error)
        return;
    const auto& header = parser->get();
    if (header.method() == http::verb::post && header.target() == "/demo/upload" && host.demo)
        parser->body_limit(kMaxUpload);
    stream.expires_after(std::chrono::minutes(5));
    http::async_read(stream, buffer, *parser,
                     [self = shared_from_this()](beast::error_code error, std::size_t) { self->OnRequest(error); });
}

void HttpConnection::OnRequest(beast::error_code error)
{
    if (error == http::error::body_limit) {
        Request request = parser->release();
        request.keep_alive(false);
        Send(Text(request, http::status::payload_too_large, "the request's body is too large\n"));
        return;
    }
    if (error)
        return;
    Request request = parser->release();
    if (std::optional<Response> response = Answer(request))
        Send(std::move(*response));
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
        if (target != "/session")
            return Text(request, http::status::not_found, "sessions are opened at /session\n");
        if (!originAllowed)
            return Text(request, http::status::forbidden,
                        "this page's origin is not allowed; start trellan-host with --allow-origin ORIGIN\n");
        std::make_shared<PageSession>(host, std::move(stream))->Start(std::move(request));
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
        return Text(request, static_cast<http::status>(reply.status), reply.body, "application/json");
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
    Response response = Text(request, http::status::ok, std::string(file->content), std::string(file->contentType).c_str());
    if (originAllowed)
        response.set(http::field::access_control_allow_origin, origin);
    response.set(http::field::vary, "Origin");
    response.set(http::field::cache_control, "no-cache");
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
            return;
        }
        self->ReadHeader();
    });
}
