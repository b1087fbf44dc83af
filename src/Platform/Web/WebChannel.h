#pragma once
// The session process's end of its local socket to trellan-host: frames out from any
// thread (one at a time), frames in on the one reader thread.

#include "Platform/Web/ChannelFrame.h"

#include <mutex>
#include <string>
#include <string_view>

namespace Platform::Web {

class WebChannel {
public:
    // Takes over the descriptor.
    explicit WebChannel(int descriptor);
    ~WebChannel();
    WebChannel(const WebChannel&) = delete;
    WebChannel& operator=(const WebChannel&) = delete;

    // False once the host has gone.
    bool Send(FrameKind kind, std::string_view payload);
    // Waits for the next frame; false at the end of the stream or on a broken frame.
    bool Receive(FrameKind& kind, std::string& payload);
    // Ends both directions, so that a Receive waiting on another thread returns.
    void Shutdown();

private:
    bool ReadExactly(void* data, std::size_t size);

    const int descriptor;
    std::mutex sendLock; // one frame at a time on the socket
};

} // namespace Platform::Web
