// trellan-host: the local service that lets web pages embed the control. It listens on
// the loopback addresses only, serves trellan.js, and gives each page session its own
// control process.

#include "HostContext.h"
#include "DropRoot.h"
#include "Listener.h"

#include "Platform/Files/DroppedFilesRoot.h"

#include <boost/asio/io_context.hpp>
#include <boost/asio/signal_set.hpp>

#include <csignal>
#include <filesystem>
#include <iostream>

namespace {

// trellan-session is installed beside trellan-host.
std::string SessionProgram()
{
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return (self.parent_path() / "trellan-session").string();
}

bool SetUpPolicy(const HostOptions& options, AccessPolicy& policy)
{
    for (const std::string& origin : options.allowedOrigins) {
        if (!policy.Allow(origin)) {
            std::cerr << "trellan-host: --allow-origin takes scheme://host[:port], not " << origin << "\n";
            return false;
        }
    }
    const std::string file = options.originsFile.empty() ? HostOptions::DefaultOriginsFile() : options.originsFile;
    std::error_code ignored;
    if (file.empty() || (options.originsFile.empty() && !std::filesystem::exists(file, ignored)))
        return true;
    std::string error;
    if (!policy.AllowFromFile(file, error)) {
        std::cerr << "trellan-host: " << error << "\n";
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    HostOptions options;
    std::string error;
    if (!options.Parse(argc, argv, error)) {
        std::cerr << "trellan-host: " << error << "\n" << kHostUsage;
        return 2;
    }
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
    int listening = 0;
    for (const char* address : {"127.0.0.1", "::1"}) {
        auto listener = std::make_shared<Listener>(io, host);
        const boost::asio::ip::tcp::endpoint endpoint(boost::asio::ip::make_address(address), options.port);
        if (!listener->Open(endpoint, error)) {
            std::cerr << "trellan-host: " << error << "\n";
            continue;
        }
        listener->Accept();
        ++listening;
    }
    if (listening == 0)
        return 1;
    boost::asio::signal_set stop(io, SIGINT, SIGTERM);
    stop.async_wait([&io](boost::system::error_code, int) { io.stop(); });
    std::cout << "trellan-host: listening on http://127.0.0.1:" << options.port << "/"
              << (options.demoFolder.empty() ? "" : "demo/") << std::endl;
    io.run();
    return 0;
}
