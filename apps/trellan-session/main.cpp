// trellan-session: one page session's control process, started by trellan-host with
// its local socket as descriptor 3. The windows are shown in the page by the web
// backend; the session ends when the host closes the socket.

#include "TrellanVersion.h"
#include "SessionContainer.h"

#include "Platform/Web/WebJson.h"

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <iostream>

using namespace Platform;

namespace {

constexpr int kHostSocket = 3;

bool ParseBytes(const char* text, std::uint64_t& bytes)
{
    char* end = nullptr;
    errno = 0;
    const unsigned long long value = std::strtoull(text, &end, 10);
    if (*text < '0' || *text > '9' || *end != '\0' || errno != 0 || value == 0)
        return false;
    bytes = value;
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (PrintedVersion(argc, argv, "trellan-session"))
        return 0;
    std::string spoolFolder, modulePath, pageOrigin;
    Web::DropQuota quota;
    bool valid = true;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string arg = argv[i];
        if (arg == "--spool")
            spoolFolder = argv[i + 1];
        else if (arg == "--module")
            modulePath = argv[i + 1];
        else if (arg == "--page-origin")
            pageOrigin = argv[i + 1];
        else if (arg == "--drop-quota")
            valid = valid && ParseBytes(argv[i + 1], quota.session);
        else if (arg == "--total-drop-quota")
            valid = valid && ParseBytes(argv[i + 1], quota.total);
        else
            valid = false;
    }
    if (spoolFolder.empty() || !valid || argc % 2 == 0) {
        std::cerr << "usage: trellan-session --spool FOLDER [--page-origin ORIGIN] [--drop-quota BYTES] "
                     "[--total-drop-quota BYTES] [--module PATH] (started by trellan-host)\n";
        return 2;
    }
    // The session folders of every page lie side by side; their quota is shared.
    quota.root = std::filesystem::path(spoolFolder).parent_path();
    std::signal(SIGPIPE, SIG_IGN);
    Web::WebChannel channel(kHostSocket);
    auto backend = std::make_unique<Web::WebBackend>(channel);
    Web::WebBackend& web = *backend;
    InstallBackend(std::move(backend));
    Web::FileSpool spool(spoolFolder, quota);

    SessionContainer container(channel, web, spool);
    std::string error;
    // The page's script is always an untrusted caller; without a known origin it is a
    // page of an opaque origin ("null"), which may post nowhere.
    if (!container.Open(modulePath, pageOrigin.empty() ? "null" : pageOrigin, error)) {
        std::cerr << "trellan-session: " << error << "\n";
        Json::Value message;
        message["t"] = "failed";
        message["reason"] = error;
        channel.Send(Web::FrameKind::Text, Web::CompactJson(message));
        return 1;
    }
    container.Run();
    return 0;
}
