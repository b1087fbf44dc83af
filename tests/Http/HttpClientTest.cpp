#include "Http/HttpClient.h"
#include "Http/HttpHeader.h"
#include "Http/MemFile.h"
#include "support/TestReceiver.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <thread>
#include <vector>

using TestSupport::TestReceiver;

namespace {

using namespace std::chrono_literals;

// One exchange with the receiver, recording the client's notifications.
struct Exchange {
    HttpClient client;
    MemFile body;
    std::vector<std::uint32_t> errors;
    std::vector<std::array<std::uint32_t, 3>> progress;
    HttpRequest::StopFlag stop = std::make_shared<std::atomic<bool>>(false);

    explicit Exchange(std::int32_t fileBytes = 1000, const std::string& cookie = "")
    {
        const std::string data(static_cast<std::size_t>(fileBytes), '\x5a');
        body.AddField("id", "0123");
        body.AddFile("p.jpg", reinterpret_cast<const std::uint8_t*>(data.data()), fileBytes, "file");
        body.End();
        HttpHeader header;
        header.SetHeader("Cookie", cookie);
        header.SetHeader("Connection", "Close");
        client.SetStopFlag(stop);
        client.SetHeaderText(header.GetHeaderText());
        client.SetBody(body.GetBuffer(), body.Size(), fileBytes);
        client.error.connect([this](std::uint32_t code) { errors.push_back(code); });
        client.progress.connect([this](std::uint32_t w, std::uint32_t n, std::uint32_t s) {
            progress.push_back({w, n, s});
        });
    }

    // Sends with a watchdog, so a client that never returns fails the test instead of
    // hanging it.
    bool Send(const std::wstring& url)
    {
        auto result = std::async(std::launch::async, [&] { return client.Send(url, L"", L"Quelvane7"); });
        if (result.wait_for(60s) != std::future_status::ready) {
            client.Abort();
            ADD_FAILURE() << "Send did not return";
        }
        return result.get();
    }

    // Sends while another thread calls interrupt 300 ms in. No stall limit can end the
    // exchange before the watchdog does, so only the interruption ends it early. Gives
    // how long Send took to return after the interruption.
    std::chrono::steady_clock::duration SendInterrupted(const std::wstring& url, const std::function<void()>& interrupt)
    {
        client.SetTimeLimits({60s, 600s});
        std::chrono::steady_clock::time_point interrupted;
        std::thread interrupter([&] {
            std::this_thread::sleep_for(300ms);
            interrupted = std::chrono::steady_clock::now();
            interrupt();
        });
        EXPECT_FALSE(Send(url));
        const auto returned = std::chrono::steady_clock::now();
        interrupter.join();
        return returned - interrupted;
    }

    std::string BodyText() const
    {
        return std::string(reinterpret_cast<const char*>(body.GetBuffer()), static_cast<std::size_t>(body.Size()));
    }
};

TEST(HttpClientTest, RequestGoesOutExactlyAsBuilt)
{
    TestReceiver receiver;
    Exchange exchange(1000, "sid=42; lang=zh");
    ASSERT_TRUE(exchange.Send(receiver.WideUrl()));
    ASSERT_TRUE(receiver.WaitForRecorded(1));

    const std::string expected = "POST /upload HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(receiver.Port()) +
                                 "\r\nUser-Agent: Quelvane7\r\nAccept: */*\r\nConnection: Close\r\n"
                                 "Content-Type: multipart/form-data; boundary=" +
                                 HttpHeader::Boundary() + "\r\nCookie: sid=42; lang=zh\r\nContent-Length: " +
                                 std::to_string(exchange.body.Size()) + "\r\n\r\n" + exchange.BodyText();
    EXPECT_EQ(receiver.RawRequest(0), expected);

    const Json::Value parts = receiver.Parsed(0)["parts"];
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(parts[0]["name"].asString(), "id");
    EXPECT_EQ(parts[0]["value"].asString(), "0123");
    EXPECT_EQ(parts[1]["name"].asString(), "file");
    EXPECT_EQ(parts[1]["filename"].asString(), "p.jpg");
    EXPECT_EQ(parts[1]["content_type"].asString(), "image/jpeg");
    EXPECT_EQ(parts[1]["length"].asInt(), 1000);
}

TEST(HttpClientTest, ProgressFollowsEveryChunkWithItsFileShare)
{
    TestReceiver receiver;
    Exchange exchange(299000);
    ASSERT_GT(exchange.body.Size(), 299000);
    ASSERT_TRUE(exchange.Send(receiver.WideUrl()));
    const auto size = static_cast<std::uint32_t>(exchange.body.Size());
    const std::vector<std::array<std::uint32_t, 3>> expected = {
        {131072, 131072, 131072}, {262144, 131072, 131072}, {size, size - 262144, 299000 - 262144}};
    EXPECT_EQ(exchange.progress, expected);
}

TEST(HttpClientTest, ReplyIsReadWhateverTheStatus)
{
    TestReceiver receiver;
    Exchange exchange;
    ASSERT_TRUE(exchange.Send(receiver.WideUrl("status=500&reply=%7B%22success%22%3A1%7D")));
    EXPECT_EQ(exchange.client.GetStatus(), 500);
    EXPECT_EQ(exchange.client.GetResponse(), "{\"success\":1}");
    EXPECT_EQ(exchange.client.GetResponseHeaders().at("Content-Type"), " application/json");
    EXPECT_TRUE(exchange.errors.empty());
}

TEST(HttpClientTest, ZeroByteInTheReplyCutsItsPiece)
{
    TestReceiver receiver;
    Exchange exchange;
    ASSERT_TRUE(exchange.Send(receiver.WideUrl("reply=%7B%7D%00tail")));
    EXPECT_EQ(exchange.client.GetResponse(), "{}");
}

TEST(HttpClientTest, StopBeforeSendOpensNothing)
{
    TestReceiver receiver;
    Exchange exchange;
    exchange.stop->store(true);
    EXPECT_FALSE(exchange.Send(receiver.WideUrl()));
    EXPECT_EQ(receiver.RequestCount(), 0);
    EXPECT_TRUE(exchange.progress.empty());
}

TEST(HttpClientTest, StopEndsATransferTheServerStopsReadingAtOnce)
{
    TestReceiver receiver({"--fault", "stall-read"});
    Exchange exchange(16 * 1024 * 1024);
    EXPECT_LT(exchange.SendInterrupted(receiver.WideUrl(), [&] { exchange.stop->store(true); }), 2s);
    EXPECT_EQ(exchange.client.GetFailure(), "stopped");
    EXPECT_TRUE(exchange.errors.empty());
    EXPECT_LT(exchange.progress.size(), 128u);
}

TEST(HttpClientTest, AbortFromAnotherThreadEndsAStalledReplyAtOnce)
{
    TestReceiver receiver({"--fault", "stall"});
    Exchange exchange;
    EXPECT_LT(exchange.SendInterrupted(receiver.WideUrl(), [&] { exchange.client.Abort(); }), 2s);
    EXPECT_EQ(exchange.client.GetFailure(), "stopped");
    EXPECT_TRUE(exchange.errors.empty());
}

// Silence before the reply or in the middle of it.
TEST(HttpClientTest, SilentServerEndsTheExchangeAfterTheStallLimit)
{
    TestReceiver receiver;
    for (const char* fault : {"stall", "cut-pause"}) {
        Exchange exchange;
        exchange.client.SetTimeLimits({60s, 1s});
        EXPECT_FALSE(exchange.Send(receiver.WideUrl(std::string("fault=") + fault))) << fault;
        EXPECT_EQ(exchange.errors, std::vector<std::uint32_t>{HttpRequest::ReplyUnreadable}) << fault;
        EXPECT_EQ(exchange.client.GetResponse(), "") << fault;
    }
}

TEST(HttpClientTest, ServerThatStopsReadingEndsTheExchangeAfterTheStallLimit)
{
    TestReceiver receiver({"--fault", "stall-read"});
    Exchange exchange(16 * 1024 * 1024);
    exchange.client.SetTimeLimits({60s, 1s});
    EXPECT_FALSE(exchange.Send(receiver.WideUrl()));
    EXPECT_TRUE(exchange.errors.empty());
}

// A connection that takes a while to be made is not ended by the no-progress rule,
// which starts once the connection is there; connecting has its own limit.
TEST(HttpClientTest, ASlowConnectionIsGivenTheConnectLimitNotTheStallLimit)
{
    // A listener whose accept queue is full drops the client's first attempt; the
    // kernel tries again a second later, when the server has made room.
    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(listener, 0), 0);
    ASSERT_EQ(getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
    const int filler = socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_EQ(connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    std::thread server([listener] {
        std::this_thread::sleep_for(500ms);
        close(accept(listener, nullptr, nullptr));
        const int connection = accept(listener, nullptr, nullptr);
        if (connection < 0)
            return;
        std::string request;
        char buffer[65536];
        for (ssize_t got;
             request.find("--\r\n") == std::string::npos && (got = read(connection, buffer, sizeof buffer)) > 0;)
            request.append(buffer, static_cast<std::size_t>(got));
        const std::string reply = "HTTP/1.1 200 OK\r\nContent-Length: 13\r\nConnection: close\r\n\r\n{\"success\":1}";
        EXPECT_EQ(write(connection, reply.data(), reply.size()), static_cast<ssize_t>(reply.size()));
        close(connection);
    });
    Exchange exchange;
    exchange.client.SetTimeLimits({30s, 200ms});
    EXPECT_TRUE(exchange.Send(L"http://127.0.0.1:" + std::to_wstring(ntohs(address.sin_port)) + L"/upload"))
        << exchange.client.GetFailure();
    EXPECT_EQ(exchange.client.GetResponse(), "{\"success\":1}");
    shutdown(listener, SHUT_RDWR); // wakes a server still waiting when the client gave up
    server.join();
    close(filler);
    close(listener);
}

TEST(HttpClientTest, FaultsEndInFailureWithTheRightErrorCode)
{
    TestReceiver receiver;
    struct Case {
        const char* fault;
        std::vector<std::uint32_t> errors;
    };
    const std::vector<std::uint32_t> unreadable = {HttpRequest::ReplyUnreadable};
    for (const Case& fault : {Case{"refuse", {}}, Case{"reset", {}}, Case{"garbage", unreadable},
                              Case{"close", unreadable}, Case{"cut", unreadable}, Case{"cut-chunked", unreadable}}) {
        // A body larger than the socket buffers, so that a reset hits the sending.
        Exchange exchange(16 * 1024 * 1024);
        EXPECT_FALSE(exchange.Send(receiver.WideUrl(std::string("fault=") + fault.fault))) << fault.fault;
        EXPECT_EQ(exchange.errors, fault.errors) << fault.fault;
        EXPECT_EQ(exchange.client.GetResponse(), "") << fault.fault;
    }
}

TEST(HttpClientTest, ClosedPortFailsWithoutAnError)
{
    int port = 0;
    {
        TestReceiver gone;
        port = gone.Port();
    }
    Exchange exchange;
    EXPECT_FALSE(exchange.Send(L"http://127.0.0.1:" + std::to_wstring(port) + L"/upload"));
    EXPECT_TRUE(exchange.errors.empty());
}

TEST(HttpClientTest, EmptyAndSlowRepliesAreReadInFull)
{
    TestReceiver receiver({"--slow-interval", "0.005"});
    Exchange empty;
    EXPECT_TRUE(empty.Send(receiver.WideUrl("fault=empty")));
    EXPECT_EQ(empty.client.GetStatus(), 200);
    EXPECT_EQ(empty.client.GetResponse(), "");
    Exchange slow;
    EXPECT_TRUE(slow.Send(receiver.WideUrl("fault=slow")));
    EXPECT_EQ(slow.client.GetResponse(), "{\"success\":1}");
}

TEST(HttpClientTest, OversizedReplyIsRefused)
{
    TestReceiver receiver;
    Exchange exchange;
    EXPECT_FALSE(exchange.Send(receiver.WideUrl("fault=huge")));
    EXPECT_EQ(exchange.client.GetResponse(), "");
}

TEST(HttpClientTest, UnusableAddressesFail)
{
    for (const std::wstring url : {L"", L"ftp://127.0.0.1/x", L"not a url", L"file:///etc/passwd"}) {
        Exchange exchange;
        EXPECT_FALSE(exchange.Send(url));
        EXPECT_EQ(exchange.client.GetResponse(), "");
    }
}

// The administrator's and the user's exception lists, in a scratch folder for one test.
class TlsExceptionFiles {
public:
    TlsExceptionFiles()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "trellan-tls-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("no temporary folder");
        folder = pattern;
        std::filesystem::create_directories(folder / "system");
        std::filesystem::create_directories(folder / "user" / "trellan");
        setenv("TRELLAN_CONFIG_DIR", (folder / "system").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (folder / "user").c_str(), 1);
    }
    ~TlsExceptionFiles()
    {
        unsetenv("TRELLAN_CONFIG_DIR");
        unsetenv("XDG_CONFIG_HOME");
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    void AddSystemLine(const std::string& line) { Append(folder / "system" / "tls-exceptions", line); }
    void AddUserLine(const std::string& line) { Append(folder / "user" / "trellan" / "tls-exceptions", line); }

private:
    static void Append(const std::filesystem::path& file, const std::string& line)
    {
        std::ofstream(file, std::ios::app) << line << "\n";
    }
    std::filesystem::path folder;
};

TEST(HttpClientTest, AForgedCertificateIsRefusedUntilItsHostIsListedAsAnException)
{
    // Self-signed (an unknown issuer) for another host name; then also expired. Each is
    // listed in the other file, and lines for other hosts or ports list nothing.
    for (const char* kind : {"self-signed", "expired"}) {
        TestReceiver receiver({"--tls", kind});
        TlsExceptionFiles files;
        const std::string port = std::to_string(receiver.Port());
        const std::wstring url = L"https://127.0.0.1:" + std::to_wstring(receiver.Port()) + L"/upload";
        files.AddUserLine("# 127.0.0.1:" + port);
        files.AddUserLine("127.0.0.1:" + std::to_string(receiver.Port() + 1));
        files.AddSystemLine("127.0.0.2");
        Exchange refused;
        EXPECT_FALSE(refused.Send(url)) << kind;
        EXPECT_NE(refused.client.GetFailure().find("certificate"), std::string::npos) << refused.client.GetFailure();
        EXPECT_EQ(refused.client.GetResponse(), "") << kind;
        EXPECT_EQ(receiver.RequestCount(), 0) << kind;

        if (std::string(kind) == "expired")
            files.AddSystemLine("  127.0.0.1  # the test server");
        else
            files.AddUserLine("127.0.0.1:" + port);
        Exchange listed;
        EXPECT_TRUE(listed.Send(url)) << kind;
        EXPECT_EQ(listed.client.GetResponse(), "{\"success\":1}") << kind;
    }
}

TEST(HttpClientTest, ACertificateNotMeantForServersStopsTheUploadEvenForAListedHost)
{
    TestReceiver receiver({"--tls", "client-only"});
    TlsExceptionFiles files;
    files.AddUserLine("127.0.0.1");
    Exchange exchange;
    EXPECT_FALSE(exchange.Send(L"https://127.0.0.1:" + std::to_wstring(receiver.Port()) + L"/upload"));
    EXPECT_EQ(exchange.client.GetResponse(), "");
    EXPECT_EQ(receiver.RequestCount(), 0);
}

} // namespace
