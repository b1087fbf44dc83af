#include "SocketOwner.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

namespace {

// An address as the socket table prints it: each 32-bit word of the address bytes in
// the machine's byte order, as eight hexadecimal digits, then ":" and the port.
template <std::size_t N> std::string TableAddress(const std::array<unsigned char, N>& bytes, unsigned short port)
{
    std::string text;
    char word[9];
    for (std::size_t i = 0; i < N; i += 4) {
        std::uint32_t value;
        std::memcpy(&value, bytes.data() + i, 4);
        std::snprintf(word, sizeof word, "%08X", value);
        text += word;
    }
    char portText[6];
    std::snprintf(portText, sizeof portText, "%04X", port);
    return text + ":" + portText;
}

std::string Ipv6Text(const boost::asio::ip::address& address, unsigned short port)
{
    const auto v6 = address.is_v4() ? boost::asio::ip::make_address_v6(boost::asio::ip::v4_mapped, address.to_v4())
                                    : address.to_v6();
    return TableAddress(v6.to_bytes(), port);
}

std::optional<uid_t> FindRow(const char* table, const std::string& localText, const std::string& remoteText)
{
    std::ifstream file(table);
    std::string line;
    std::getline(file, line); // the column names
    while (std::getline(file, line)) {
        std::istringstream row(line);
        std::string slot, localAddress, remoteAddress, state, queues, timer, retransmits;
        long uid = -1;
        if (!(row >> slot >> localAddress >> remoteAddress >> state >> queues >> timer >> retransmits >> uid))
            continue;
        if (localAddress == localText && remoteAddress == remoteText && uid >= 0)
            return static_cast<uid_t>(uid);
    }
    return std::nullopt;
}

} // namespace

std::optional<uid_t> ClientSocketOwner(const boost::asio::ip::tcp::endpoint& local,
                                       const boost::asio::ip::tcp::endpoint& peer)
{
    if (local.address().is_v4() && peer.address().is_v4()) {
        const auto found = FindRow("/proc/net/tcp", TableAddress(peer.address().to_v4().to_bytes(), peer.port()),
                                   TableAddress(local.address().to_v4().to_bytes(), local.port()));
        if (found)
            return found;
    }
    // A client's IPv6 socket may reach an IPv4 address in its mapped form.
    return FindRow("/proc/net/tcp6", Ipv6Text(peer.address(), peer.port()), Ipv6Text(local.address(), local.port()));
}
