#include "Platform/Web/ChannelFrame.h"

namespace Platform::Web {

std::string EncodeFrameHeader(FrameKind kind, std::size_t payloadSize)
{
    const std::uint32_t length = static_cast<std::uint32_t>(payloadSize + 1);
    std::string header(kFrameHeaderSize, '\0');
    for (int i = 0; i < 4; ++i)
        header[i] = static_cast<char>((length >> (8 * i)) & 0xFF);
    header[4] = static_cast<char>(kind);
    return header;
}

std::optional<FrameHeader> DecodeFrameHeader(const unsigned char* bytes)
{
    std::uint32_t length = 0;
    for (int i = 0; i < 4; ++i)
        length |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
    const std::uint8_t kind = bytes[4];
    if (length == 0 || length - 1 > kMaxFramePayload || kind < 1 || kind > 4)
        return std::nullopt;
    return FrameHeader{static_cast<FrameKind>(kind), length - 1};
}

} // namespace Platform::Web
