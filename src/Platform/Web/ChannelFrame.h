#pragma once
// The framing between trellan-host and a session's control process on their local
// socket: a 4-byte little-endian length (of the kind byte and the payload), a kind byte,
// the payload. Text and binary frames carry the page's WebSocket messages unchanged;
// ping and pong let the host notice a control that no longer answers.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace Platform::Web {

enum class FrameKind : std::uint8_t { Text = 1, Binary = 2, Ping = 3, Pong = 4 };

struct FrameHeader {
    FrameKind kind;
    std::size_t payloadSize;
};

constexpr std::size_t kFrameHeaderSize = 5;
// No frame is larger; a length above it means the other side is broken or hostile.
constexpr std::size_t kMaxFramePayload = 64u << 20;

std::string EncodeFrameHeader(FrameKind kind, std::size_t payloadSize);
// The header in the first kFrameHeaderSize bytes, or nothing for an unknown kind, a
// zero length or a payload over kMaxFramePayload.
std::optional<FrameHeader> DecodeFrameHeader(const unsigned char* bytes);

} // namespace Platform::Web
