#pragma once
// Where an address lies, as a browser's private-network rules see it: loopback and
// private addresses (127.0.0.0/8, 0.0.0.0/8, 10/8, 172.16/12, 192.168/16, 169.254/16,
// ::1, ::, fc00::/7, fe80::/10, and IPv4 addresses mapped into IPv6) are private;
// every other address is public.

#include <string>
#include <vector>

enum class AddressSpace { Public, Private };

// The space of a numeric address; a text that is no address counts as public.
AddressSpace SpaceOfAddress(const std::string& numeric);
// The space of a page by the host of its origin: a literal private address or
// "localhost" is private; a name counts as public, since where it leads cannot be
// known for sure.
AddressSpace SpaceOfPageHost(const std::string& host);
// The numeric addresses host resolves to for port, in the resolver's order; empty
// when it does not resolve.
std::vector<std::string> ResolveHost(const std::string& host, int port);
