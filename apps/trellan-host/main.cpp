// trellan-host: the local service that lets web pages embed the control. It listens on
// the loopback addresses only, serves trellan.js, and gives each page session its own
// control process.

#include "TrellanVersion.h"
#include "HostContext.h"
#include "DropRoot.h"
#include "IdleExit.h"
#include "Listener.h"
#include "SocketActivation.h"

#include "Platform/Files/DroppedFilesRoot.h"

#include <boost/asio/io_context.hpp>
#include <boost/asio/signal_set.hpp>

#include <csignal>
#include <filesystem>
#include <iostream>
#include <vector>

namespace {

// trellan-session is beside trellan-host in the build tree, and in the private program
// folder (TRELLAN_SESSION_DIR, relative to the programs' folder) when installed.
std::string SessionProgram()
{
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::read_symlink("/proc/self/exe", error).parent_path();
    const std::filesystem::path beside = folder / "trellan-session";
    if (std::filesystem::exists(beside, error))
        return beside.string();
    return (folder / TRELLAN_SESSION_DIR / "trellan-session").lexically_normal().string();
}

bool ReadOriginsFile(const std::string& file, AccessPolicy& policy)
{
    std::string error;
    if (policy.AllowFromFile(file, error))
        return true;
    std::cerr << "trellan-host: " << error << "\n";
    return false;
}

bool SetUpPolicy(const HostOptions& options, AccessPolicy& policy)
{
    for (const std::string& origin : options.allowedOrigins) {
        if (!policy.Allow(origin)) {
            std::cerr << "trellan-host: --allow-origin takes scheme://host[:port], not " << origin << "\n";
            return false;
        }
    }
    // The administrator's file and the user's own add up; a named file must be there.
    std::error_code ignored;
    if (std::filesystem::exists(HostOptions::kSystemOriginsFile, ignored) &&
        !ReadOriginsFile(HostOptions::kSystemOriginsFile, policy))
        return false;
    if (!options.originsFile.empty())
        return ReadOriginsFile(options.originsFile, policy);
    const std::string file = HostOptions::DefaultOriginsFile();
    return file.empty() || !std::filesystem::exists(file, ignored) || ReadOriginsFile(file, policy);
}

// Listens on the sockets systemd passed, or else binds the loopback addresses itself.
int Listen(boost::asio::io_context& io, HostContext& host, const std::vector<ActivatedSocket>& activated)
{
    std::string error;
    int listening = 0;
    auto open = [&](const boost::asio::ip::tcp::endpoint& endpoint, int descriptor) {
        auto listener = std::make_shared<Listener>(io, host);
        if (descriptor >= 0 ? !listener->Adopt(descriptor, endpoint, error) : !listener->Open(endpoint, error)) {
            std::cerr << "trellan-host: " << error << "\n";
            return;
        }
        listener->Accept();
        ++listening;
    };
    for (const ActivatedSocket& socket : activated)
        open(socket.endpoint, socket.descriptor);
    if (activated.empty())
        for (const char* address : {"127.0.0.1", "::1"})
            open(boost::asio::ip::tcp::endpoint(boost::asio::ip::make_address(address), host.options.port), -1);
    return listening;
}

} // namespace

int main(int argc, char** argv)
{
    if (PrintedVersion(argc, argv, "trellan-host"))
        return 0;
    HostOptions options;
    std::string error;
    if (!options.Parse(argc, argv, error)) {
        std::cerr << "trellan-host: " << error << "\n" << kHostUsage;
        return 2;
    }
    std::vector<ActivatedSocket> activated;
    if (!TakeActivatedSockets(activated, error)) {
        std::cerr << "trellan-host: " << error << "\n";
        return 1;
    }
    // Pages reach a socket-activated host on the port of the sockets it was given.
    if (!activated.empty())
        options.port = activated.front().endpoint.port();
    std::signal(SIGPIPE, SIG_IGN);
    HostContext host(options, SessionProgram());
    if (!SetUpPolicy(options, host.policy))
        return 2;
    host.dropRoot = Platform::DroppedFilesRoot();
    if (!PrepareDropRoot(host.dropRoot, error)) {
        std::cerr << "trellan-host: " << error << "\n";
        return 1;
    }

    boost::asio::io_context io;
    if (Listen(io, host, activated) == 0)
        return 1;
    boost::asio::signal_set stop(io, SIGINT, SIGTERM);
    stop.async_wait([&io](boost::system::error_code, int) { io.stop(); });
    IdleExit idle(io, host, std::chrono::seconds(options.idleExitSeconds));
    idle.Start();
    std::cout << "trellan-host: listening on http://127.0.0.1:" << options.port << "/"
              << (options.demoFolder.empty() ? "" : "demo/") << std::endl;
    io.run();
    return 0;
}
