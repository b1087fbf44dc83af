#pragma once
// Accepts connections on one loopback address and hands each to an HttpConnection.
// Connections from sockets of other local users are refused. When the process is out
// of file descriptors the listener waits a little before accepting again, instead of
// trying at once in a loop.

#include "HostContext.h"

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>

#include <memory>
#include <string>

class Listener : public std::enable_shared_from_this<Listener> {
public:
    Listener(boost::asio::io_context& io, HostContext& host);
    // False with the reason in error when the address cannot be had.
    bool Open(const boost::asio::ip::tcp::endpoint& endpoint, std::string& error);
    // Takes a socket that already listens on endpoint (passed by the service manager).
    bool Adopt(int descriptor, const boost::asio::ip::tcp::endpoint& endpoint, std::string& error);
    void Accept();

private:
    void OnAccept(boost::system::error_code error, boost::asio::ip::tcp::socket socket);
    // False (and the connection answered and closed) when its client is another user's.
    static bool FromThisUser(boost::asio::ip::tcp::socket& socket);

    HostContext& host;
    boost::asio::ip::tcp::acceptor acceptor;
    boost::asio::steady_timer pause;
    bool outOfDescriptors = false; // said once for each time they run out
};
