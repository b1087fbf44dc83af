#include "Listener.h"

#include "HttpConnection.h"

#include <boost/asio/ip/v6_only.hpp>

Listener::Listener(boost::asio::io_context& io, HostContext& context) : host(context), acceptor(io) {}

bool Listener::Open(const boost::asio::ip::tcp::endpoint& endpoint, std::string& error)
{
    boost::system::error_code failure;
    acceptor.open(endpoint.protocol(), failure);
    if (!failure && endpoint.address().is_v6())
        acceptor.set_option(boost::asio::ip::v6_only(true), failure);
    if (!failure)
        acceptor.set_option(boost::asio::socket_base::reuse_address(true), failure);
    if (!failure)
        acceptor.bind(endpoint, failure);
    if (!failure)
        acceptor.listen(boost::asio::socket_base::max_listen_connections, failure);
    if (failure) {
        error = "cannot listen on " + endpoint.address().to_string() + " port " + std::to_string(endpoint.port()) +
                ": " + failure.message();
        return false;
    }
    return true;
}

bool Listener::Adopt(int descriptor, const boost::asio::ip::tcp::endpoint& endpoint, std::string& error)
{
    boost::system::error_code failure;
    acceptor.assign(endpoint.protocol(), descriptor, failure);
    if (failure)
        error = "cannot take the socket on " + endpoint.address().to_string() + ": " + failure.message();
    return !failure;
}

void Listener::Accept()
{
    acceptor.async_accept([self = shared_from_this()](boost::system::error_code error, boost::asio::ip::tcp::socket socket) {
        if (!error) {
            // Frames and acknowledgements are small and answer each other: without
            // no-delay, Nagle's rule holds each back until the peer's delayed ACK.
            boost::system::error_code ignored;
            socket.set_option(boost::asio::ip::tcp::no_delay(true), ignored);
            std::make_shared<HttpConnection>(self->host, std::move(socket))->Start();
        }
        self->Accept();
    });
}
