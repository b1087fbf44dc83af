// What a page sends a session, as arbitrary bytes: local frame headers, JSON messages
// and file chunks. Nothing may crash, hang or write outside the session's folder.

#include "Platform/Web/ChannelFrame.h"
#include "Platform/Web/FileSpool.h"
#include "Platform/Web/PageInput.h"
#include "Platform/Web/WebBackend.h"
#include "Platform/Web/WebChannel.h"
#include "Platform/Web/WebJson.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

using namespace Platform::Web;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static WebBackend* backend = [] {
        int sockets[2];
        socketpair(AF_UNIX, SOCK_STREAM, 0, sockets);
        return new WebBackend(*new WebChannel(sockets[0]));
    }();
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("page-message-fuzz-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    {
        FileSpool spool(folder);
        PageInput input(*backend, spool);
        std::string_view rest(reinterpret_cast<const char*>(data), size);
        if (rest.size() >= kFrameHeaderSize)
            DecodeFrameHeader(reinterpret_cast<const unsigned char*>(rest.data()));
        // Messages are separated by NUL bytes; one starting with "B" is a file chunk.
        while (!rest.empty()) {
            const std::string_view message = rest.substr(0, rest.find('\0'));
            rest.remove_prefix(std::min(rest.size(), message.size() + 1));
            Json::Value parsed;
            if (!message.empty() && message.front() == 'B')
                input.HandleChunk(message.substr(1));
            else if (ParseMessage(message, parsed))
                input.Handle(parsed);
        }
    }
    std::filesystem::remove_all(folder);
    return 0;
}
