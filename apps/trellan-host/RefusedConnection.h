#pragma once
// A connection the host will not serve (its client is another user's): answered with
// 403, then closed once the client has finished sending, or after a short while.
// Closing with the client's request unread would reset the connection, and the client
// would lose the answer.

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>

#include <array>
#include <memory>

class RefusedConnection : public std::enable_shared_from_this<RefusedConnection> {
public:
    explicit RefusedConnection(boost::asio::ip::tcp::socket socket);
    void Start();

private:
    void Drain();

    boost::asio::ip::tcp::socket socket;
    boost::asio::steady_timer timer;
    std::array<char, 4096> scratch{};
};
