#pragma once
// The hosts whose certificate problems an https upload tolerates: an unknown or
// self-signed issuer, a name that does not match, dates outside the validity period.
// Every other host's certificate is verified against the system's store. The hosts are
// listed by the administrator in /etc/trellan/tls-exceptions and by the user in
// $XDG_CONFIG_HOME/trellan/tls-exceptions (~/.config/trellan/...), one "host" or
// "host:port" a line ("[::1]:8443" for IPv6), with "#" starting a comment. The files
// are read for each https upload, so a change takes effect without a restart.
// TRELLAN_CONFIG_DIR replaces /etc/trellan (for tests). A page has no say in any of it.

#include <string>

class TlsExceptions {
public:
    // For the whole process (trellan-post --insecure): every host is tolerated.
    static void TolerateEveryHost();
    // Whether host (as in the address, IPv6 without brackets) on port is tolerated.
    static bool Tolerated(const std::string& host, int port);
    // Whether one line of a file names host on port.
    static bool LineNames(const std::string& line, const std::string& host, int port);
};
