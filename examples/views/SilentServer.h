#pragma once
// A loopback HTTP server that reads every request to its end and never answers, so
// that an upload stays in progress with each file sent in full: what the view shows
// while a slow server thinks.

#include <string>

class SilentServer {
public:
    SilentServer();
    ~SilentServer();
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;

    bool Listening() const { return port != 0; }
    std::string Url() const;

private:
    int listener = -1;
    int port = 0;
};
