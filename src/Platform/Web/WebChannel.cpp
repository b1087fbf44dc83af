#include "Platform/Web/WebChannel.h"

#include <cerrno>
#include <sys/socket.h>
#include <unistd.h>

namespace Platform::Web {

WebChannel::WebChannel(int socketDescriptor) : descriptor(socketDescriptor) {}

WebChannel::~WebChannel()
{
    close(descriptor);
}

bool WebChannel::Send(FrameKind kind, std::string_view payload)
{
    if (payload.size() > kMaxFramePayload)
        return false;
    const std::string header = EncodeFrameHeader(kind, payload.size());
    std::lock_guard guard(sendLock);
    for (std::string_view part : {std::string_view(header), payload}) {
        while (!part.empty()) {
            const ssize_t sent = ::send(descriptor, part.data(), part.size(), MSG_NOSIGNAL);
            if (sent < 0 && errno == EINTR)
                continue;
            if (sent <= 0)
                return false;
            part.remove_prefix(static_cast<std::size_t>(sent));
        }
    }
    return true;
}

void WebChannel::Shutdown()
{
    ::shutdown(descriptor, SHUT_RDWR);
}

bool WebChannel::ReadExactly(void* data, std::size_t size)
{
    auto* bytes = static_cast<char*>(data);
    while (size > 0) {
        const ssize_t got = ::read(descriptor, bytes, size);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        bytes += got;
        size -= static_cast<std::size_t>(got);
    }
    return true;
}

bool WebChannel::Receive(FrameKind& kind, std::string& payload)
{
    unsigned char header[kFrameHeaderSize];
    if (!ReadExactly(header, sizeof header))
        return false;
    const std::optional<FrameHeader> decoded = DecodeFrameHeader(header);
    if (!decoded)
        return false;
    kind = decoded->kind;
    payload.resize(decoded->payloadSize);
    return ReadExactly(payload.data(), payload.size());
}

} // namespace Platform::Web
