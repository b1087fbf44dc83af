#include "SocketActivation.h"

#include <systemd/sd-daemon.h>

#include <cstring>
#include <sys/socket.h>

namespace {

bool LocalEndpoint(int descriptor, boost::asio::ip::tcp::endpoint& endpoint)
{
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (getsockname(descriptor, reinterpret_cast<sockaddr*>(&address), &length) != 0 || length > endpoint.capacity())
        return false;
    std::memcpy(endpoint.data(), &address, length);
    endpoint.resize(length);
    return true;
}

} // namespace

bool TakeActivatedSockets(std::vector<ActivatedSocket>& sockets, std::string& error)
{
    sockets.clear();
    // Unsets LISTEN_FDS and LISTEN_PID and marks the sockets close-on-exec, so the
    // session processes get neither.
    const int count = sd_listen_fds(1);
    if (count < 0) {
        error = std::string("the sockets from the service manager cannot be read: ") + std::strerror(-count);
        return false;
    }
    for (int descriptor = SD_LISTEN_FDS_START; descriptor < SD_LISTEN_FDS_START + count; ++descriptor) {
        boost::asio::ip::tcp::endpoint endpoint;
        if (sd_is_socket_inet(descriptor, 0, SOCK_STREAM, 1, 0) <= 0 || !LocalEndpoint(descriptor, endpoint)) {
            error = "socket " + std::to_string(descriptor) + " from the service manager is not a listening TCP socket";
            return false;
        }
        if (!endpoint.address().is_loopback()) {
            error = "the service manager passed a socket on " + endpoint.address().to_string() +
                    ", which is not a loopback address";
            return false;
        }
        // The host checks each request's Host header against one port.
        if (!sockets.empty() && endpoint.port() != sockets.front().endpoint.port()) {
            error = "the service manager passed sockets on different ports";
            return false;
        }
        sockets.push_back({descriptor, endpoint});
    }
    return true;
}
