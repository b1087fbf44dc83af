#include "Listener.h"

#include "HttpConnection.h"
#include "RefusedConnection.h"
#include "SocketOwner.h"

#include <boost/asio/ip/v6_only.hpp>

#include <iostream>
#include <unistd.h>

namespace {

constexpr std::chrono::milliseconds kDescriptorPause(100);

bool OutOfResources(const boost::system::error_code& error)
{
    namespace errc = boost::system::errc;
    return error == errc::too_many_files_open || error == errc::too_many_files_open_in_system ||
           error == errc::no_buffer_space || error == errc::not_enough_memory;
}

} // namespace

Listener::Listener(boost::asio::io_context& io, HostContext& context) : host(context), acceptor(io), pause(io) {}

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
    acceptor.async_accept(
        [self = shared_from_this()](boost::system::error_code error, boost::asio::ip::tcp::socket socket) {
            self->OnAccept(error, std::move(socket));
        });
}

void Listener::OnAccept(boost::system::error_code error, boost::asio::ip::tcp::socket socket)
{
    if (error == boost::asio::error::operation_aborted)
        return;
    if (OutOfResources(error)) {
        // The connection stays queued; taking it again at once would fail the same way.
        if (!outOfDescriptors)
            std::cerr << "trellan-host: cannot take connections now (" << error.message() << "); waiting\n";
        outOfDescriptors = true;
        pause.expires_after(kDescriptorPause);
        pause.async_wait([self = shared_from_this()](boost::system::error_code) { self->Accept(); });
        return;
    }
    outOfDescriptors = false;
    if (!error && FromThisUser(socket)) {
        // Frames and acknowledgements are small and answer each other: without
        // no-delay, Nagle's rule holds each back until the peer's delayed ACK.
        boost::system::error_code ignored;
        socket.set_option(boost::asio::ip::tcp::no_delay(true), ignored);
        std::make_shared<HttpConnection>(host, std::move(socket))->Start();
    }
    Accept();
}

bool Listener::FromThisUser(boost::asio::ip::tcp::socket& socket)
{
    boost::system::error_code error;
    const auto local = socket.local_endpoint(error);
    const auto peer = error ? decltype(local)() : socket.remote_endpoint(error);
    const std::optional<uid_t> owner = error ? std::nullopt : ClientSocketOwner(local, peer);
    if (owner == geteuid())
        return true;
    std::cerr << "trellan-host: refused a connection from "
              << (owner ? "user " + std::to_string(*owner) : std::string("a socket of unknown owner")) << "\n";
    std::make_shared<RefusedConnection>(std::move(socket))->Start();
    return false;
}
