#pragma once
// Who owns the other end of a loopback connection. Any local user can connect to
// loopback and send any Origin header, so the host asks the kernel instead: the
// client's socket is the row of its socket table (/proc/net/tcp, /proc/net/tcp6)
// whose local address is the connection's peer and whose remote address is the host's
// end; the row gives its owner's uid.

#include <boost/asio/ip/tcp.hpp>

#include <optional>
#include <sys/types.h>

// The owner of the socket at peer connected to local, or nothing when no row says.
std::optional<uid_t> ClientSocketOwner(const boost::asio::ip::tcp::endpoint& local,
                                       const boost::asio::ip::tcp::endpoint& peer);
