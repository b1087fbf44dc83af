#pragma once
// The listening sockets that systemd hands a socket-activated trellan-host.

#include <boost/asio/ip/tcp.hpp>

#include <string>
#include <vector>

struct ActivatedSocket {
    int descriptor;
    boost::asio::ip::tcp::endpoint endpoint;
};

// The sockets passed by the service manager (none when the host was started by hand).
// False with the reason in error when one is not a listening TCP socket on a loopback
// address (the host serves this machine only, whatever a unit file says), or when
// their ports differ.
bool TakeActivatedSockets(std::vector<ActivatedSocket>& sockets, std::string& error);
