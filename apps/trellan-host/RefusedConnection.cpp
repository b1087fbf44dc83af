#include "RefusedConnection.h"

#include <boost/asio/write.hpp>

#include <string>

namespace {
constexpr std::chrono::seconds kLinger(2);
}

RefusedConnection::RefusedConnection(boost::asio::ip::tcp::socket client)
    : socket(std::move(client)), timer(socket.get_executor())
{
}

void RefusedConnection::Start()
{
    static const std::string body = "this trellan-host serves only the user who runs it\n";
    static const std::string answer = "HTTP/1.1 403 Forbidden\r\nContent-Type: text/plain; charset=utf-8\r\n"
                                      "Connection: close\r\nContent-Length: " +
                                      std::to_string(body.size()) + "\r\n\r\n" + body;
    timer.expires_after(kLinger);
    timer.async_wait([self = shared_from_this()](boost::system::error_code) {
        boost::system::error_code ignored;
        self->socket.close(ignored);
    });
    boost::asio::async_write(socket, boost::asio::buffer(answer),
                             [self = shared_from_this()](boost::system::error_code error, std::size_t) {
                                 boost::system::error_code ignored;
                                 self->socket.shutdown(boost::asio::ip::tcp::socket::shutdown_send, ignored);
                                 if (!error)
                                     self->Drain();
                             });
}

void RefusedConnection::Drain()
{
    socket.async_read_some(boost::asio::buffer(scratch),
                           [self = shared_from_this()](boost::system::error_code error, std::size_t) {
                               // The client's end of the stream (or a failure) closes it now, through the timer.
                               if (error) {
                                   self->timer.cancel();
                                   return;
                               }
                               self->Drain();
                           });
}
