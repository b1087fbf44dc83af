#include "Http/AddressSpace.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

bool PrivateIpv4(std::uint32_t address)
{
    const auto in = [address](std::uint32_t network, int bits) {
        return (address >> (32 - bits)) == (network >> (32 - bits));
    };
    return in(0x7F000000, 8) || in(0x00000000, 8) || in(0x0A000000, 8) || in(0xAC100000, 12) || in(0xC0A80000, 16) ||
           in(0xA9FE0000, 16);
}

bool PrivateIpv6(const in6_addr& address)
{
    const std::uint8_t* bytes = address.s6_addr;
    static const std::uint8_t mapped[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF};
    if (std::memcmp(bytes, mapped, sizeof mapped) == 0) {
        std::uint32_t v4;
        std::memcpy(&v4, bytes + 12, 4);
        return PrivateIpv4(ntohl(v4));
    }
    const bool zeroPrefix = std::all_of(bytes, bytes + 15, [](std::uint8_t b) { return b == 0; });
    if (zeroPrefix && bytes[15] <= 1)
        return true; // :: and ::1
    return (bytes[0] & 0xFE) == 0xFC || (bytes[0] == 0xFE && (bytes[1] & 0xC0) == 0x80);
}

} // namespace

AddressSpace SpaceOfAddress(const std::string& numeric)
{
    in_addr v4{};
    in6_addr v6{};
    if (inet_pton(AF_INET, numeric.c_str(), &v4) == 1)
        return PrivateIpv4(ntohl(v4.s_addr)) ? AddressSpace::Private : AddressSpace::Public;
    if (inet_pton(AF_INET6, numeric.c_str(), &v6) == 1)
        return PrivateIpv6(v6) ? AddressSpace::Private : AddressSpace::Public;
    return AddressSpace::Public;
}

AddressSpace SpaceOfPageHost(const std::string& host)
{
    return host == "localhost" ? AddressSpace::Private : SpaceOfAddress(host);
}

std::vector<std::string> ResolveHost(const std::string& host, int port)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    std::vector<std::string> addresses;
    if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0)
        return addresses;
    for (const addrinfo* entry = found; entry; entry = entry->ai_next) {
        char text[INET6_ADDRSTRLEN] = {};
        const void* raw = entry->ai_family == AF_INET
                              ? static_cast<const void*>(&reinterpret_cast<sockaddr_in*>(entry->ai_addr)->sin_addr)
                              : static_cast<const void*>(&reinterpret_cast<sockaddr_in6*>(entry->ai_addr)->sin6_addr);
        if ((entry->ai_family == AF_INET || entry->ai_family == AF_INET6) &&
            inet_ntop(entry->ai_family, raw, text, sizeof text) &&
            std::find(addresses.begin(), addresses.end(), text) == addresses.end())
            addresses.emplace_back(text);
    }
    freeaddrinfo(found);
    return addresses;
}
