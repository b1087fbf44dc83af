#include "SilentServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <thread>

namespace {

// Reads what the client sends until it closes; the connection is never answered.
void Swallow(int connection)
{
    char buffer[65536];
    while (recv(connection, buffer, sizeof buffer, 0) > 0) {}
    close(connection);
}

void AcceptAll(int listener)
{
    for (;;) {
        const int connection = accept(listener, nullptr, nullptr);
        if (connection < 0)
            return;
        std::thread(Swallow, connection).detach();
    }
}

} // namespace

SilentServer::SilentServer()
{
    listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener < 0 || bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener, 16) != 0 || getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return;
    port = ntohs(address.sin_port);
    std::thread(AcceptAll, listener).detach();
}

SilentServer::~SilentServer()
{
    // Ends the accepting thread; connections still open end with the process.
    if (listener >= 0) {
        shutdown(listener, SHUT_RDWR);
        close(listener);
    }
}

std::string SilentServer::Url() const
{
    return "http://127.0.0.1:" + std::to_string(port) + "/upload";
}
