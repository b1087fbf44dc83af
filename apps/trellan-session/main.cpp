// trellan-session: one page session's control process, started by trellan-host with
// its local socket as descriptor 3. The windows are shown in the page by the web
// backend; the session ends when the host closes the socket.

#include "TrellanVersion.h"
#include "SessionContainer.h"

#include "Platform/Web/WebJson.h"

#include <csignal>
#include <iostream>

using namespace Platform;

namespace {
constexpr int kHostSocket = 3;
}

int main(int argc, char** argv)
{
    if (PrintedVersion(argc, argv, "trellan-session"))
        return 0;
    std::string spoolFolder, modulePath;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string arg = argv[i];
        if (arg == "--spool")
            spoolFolder = argv[i + 1];
        else if (arg == "--module")
            modulePath = argv[i + 1];
    }
    if (spoolFolder.empty()) {
        std::cerr << "usage: trellan-session --spool FOLDER [--module PATH] (started by trellan-host)\n";
        return 2;
    }
    std::signal(SIGPIPE, SIG_IGN);
    Web::WebChannel channel(kHostSocket);
    auto backend = std::make_unique<Web::WebBackend>(channel);
    Web::WebBackend& web = *backend;
    InstallBackend(std::move(backend));
    Web::FileSpool spool(spoolFolder);

    SessionContainer container(channel, web, spool);
    std::string error;
    if (!container.Open(modulePath, error)) {
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
