#pragma once
// Runs PHP's built-in web server with tests/support/php_receiver.php on a free
// loopback port for one test: uploads are parsed by PHP's multipart parser, and each
// reply tells what it made of them.

#include "support/ChildProcess.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>
#include "TestPaths.h"

namespace TestSupport {

class PhpReceiver {
public:
    PhpReceiver() : port(FreePort())
    {
        const std::string limits = "64M";
        process = std::make_unique<ChildProcess>(std::vector<std::string>{
            "php", "-n", "-d", "upload_max_filesize=" + limits, "-d", "post_max_size=" + limits, "-d",
            "max_file_uploads=20", "-S", "127.0.0.1:" + std::to_string(port),
            TestPaths::SourceDir() + "/tests/support/php_receiver.php"});
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!Listening()) {
            if (std::chrono::steady_clock::now() > deadline || process->WaitExit(std::chrono::milliseconds(20)))
                throw std::runtime_error("PHP's server did not start (make deps installs php-cli): " +
                                         process->Errors());
        }
    }

    std::wstring WideUrl() const
    {
        const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/upload";
        return std::wstring(url.begin(), url.end());
    }

private:
    static int FreePort()
    {
        const int probe = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address);
        getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
        close(probe);
        return ntohs(address.sin_port);
    }
    bool Listening() const
    {
        const int client = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        const bool connected = connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        close(client);
        return connected;
    }

    int port;
    std::unique_ptr<ChildProcess> process;
};

} // namespace TestSupport
