#pragma once
// Stops the host's I/O loop once it has had no page session and no request for a
// given time, so that a socket-activated host costs nothing while no page needs it.

#include "HostContext.h"

#include <boost/asio/io_context.hpp>
#include <boost/asio/steady_timer.hpp>

#include <chrono>

class IdleExit {
public:
    // A limit of zero never stops the loop.
    IdleExit(boost::asio::io_context& io, const HostContext& host, std::chrono::seconds limit);
    void Start();

private:
    void Check();

    boost::asio::io_context& io;
    const HostContext& host;
    const std::chrono::seconds limit;
    boost::asio::steady_timer timer;
    std::chrono::steady_clock::time_point lastBusy;
};
