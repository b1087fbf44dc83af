#pragma once
// Accepts connections on one loopback address and hands each to an HttpConnection.

#include "HostContext.h"

#include <boost/asio/ip/tcp.hpp>

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
    HostContext& host;
    boost::asio::ip::tcp::acceptor acceptor;
};
