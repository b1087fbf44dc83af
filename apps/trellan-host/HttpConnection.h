#pragma once
// One HTTP connection to the host: the requests on it are checked (Host header, Origin)
// and answered from the fixed set of files, the status, the demo receiver, or handed
// to a page session when one asks for a WebSocket.

#include "HostContext.h"

#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/http/message.hpp>
#include <boost/beast/http/parser.hpp>
#include <boost/beast/http/string_body.hpp>

#include <memory>
#include <optional>

class HttpConnection : public std::enable_shared_from_this<HttpConnection> {
public:
    // Bodies of most requests are small; only the demo receiver takes photos.
    static constexpr std::size_t kMaxBody = 64u << 10;
    static constexpr std::size_t kMaxUpload = 128u << 20;

    HttpConnection(HostContext& host, boost::asio::ip::tcp::socket socket);
    void Start();

private:
    using Request = boost::beast::http::request<boost::beast::http::string_body>;
    using Response = boost::beast::http::response<boost::beast::http::string_body>;

    void ReadHeader();
    void OnHeader(boost::beast::error_code error);
    void OnRequest(boost::beast::error_code error);
    // Answers 413 and closes: the body is over the limit of its path.
    void RefuseTooLarge();
    // The answer to a request that is not a session, or nothing when the request became one.
    std::optional<Response> Answer(Request& request);
    Response Preflight(const Request& request, bool originAllowed) const;
    Response Text(const Request& request, boost::beast::http::status status, std::string body,
                  const char* contentType = "text/plain; charset=utf-8") const;
    void Send(Response response);
    // Reads and drops what the client still sends until it closes or time runs out.
    void Linger();

    HostContext& host;
    boost::beast::tcp_stream stream;
    boost::beast::flat_buffer buffer;
    std::optional<boost::beast::http::request_parser<boost::beast::http::string_body>> parser;
};
