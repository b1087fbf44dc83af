#include "UploadHarness.h"
#include "support/TestReceiver.h"

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include "TestPaths.h"

using namespace UploadHarness;
using TestSupport::ChildProcess;
using TestSupport::TestReceiver;

namespace {

// True when the process has a file of the folder open.
bool ReadingFrom(pid_t pid, const std::filesystem::path& folder)
{
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd", error)) {
        if (std::filesystem::read_symlink(entry.path(), error).parent_path() == folder)
            return true;
    }
    return false;
}

class TrellanPostTest : public ::testing::Test {
protected:
    static std::vector<std::string> Command(const std::vector<std::string>& arguments)
    {
        std::vector<std::string> command = {TestPaths::BinDir() + "/trellan-post"};
        command.insert(command.end(), arguments.begin(), arguments.end());
        return command;
    }
    static std::unique_ptr<ChildProcess> Run(const std::vector<std::string>& arguments)
    {
        auto post = std::make_unique<ChildProcess>(Command(arguments));
        EXPECT_TRUE(post->WaitExit(60s).has_value()) << "trellan-post did not end";
        return post;
    }

    PhotoFolder photos{3};
};

TEST_F(TrellanPostTest, SendsEveryFileAndWritesThePageEvent)
{
    TestReceiver receiver;
    auto post =
        Run({"--url", receiver.Url(), "--field", "uid=7", "--field", "token=x", "--cookie", "sid=1", "--file-field",
             "photo", "--name-gen", "md5", "--threads", "1", photos.paths[0].string(), photos.paths[1].string()});
    EXPECT_EQ(post->WaitExit(1s), 0) << post->Errors();
    ASSERT_TRUE(receiver.WaitForRecorded(2));
    std::string expected = "{\"imgs\":[";
    for (int i = 0; i < 2; ++i) {
        const Json::Value request = receiver.Parsed(i);
        const Json::Value& parts = request["parts"];
        ASSERT_EQ(parts.size(), 7u);
        EXPECT_EQ(parts[4]["name"].asString() + "=" + parts[4]["value"].asString(), "token=x");
        EXPECT_EQ(parts[5]["name"].asString() + "=" + parts[5]["value"].asString(), "uid=7");
        EXPECT_EQ(parts[6]["name"].asString(), "photo");
        EXPECT_TRUE(std::regex_match(parts[6]["filename"].asString(), std::regex("[0-9a-f]{32}%2Epng")));
        EXPECT_NE(receiver.RawRequest(i).find("\r\nCookie: sid=1\r\n"), std::string::npos);
        expected +=
            std::string(i ? "," : "") + "{\"id\":\"" + parts[0]["value"].asString() + "\",\"svr\":{\"success\":1}}";
    }
    EXPECT_EQ(post->Output(), expected + "],\"name\":\"post_complete\"}\n");
    EXPECT_NE(post->Errors().find("complete " + photos.paths[0].string() + " "), std::string::npos);
    EXPECT_NE(post->Errors().find("progress " + photos.paths[1].string() + " "), std::string::npos);
}

TEST_F(TrellanPostTest, AnyFailedFileGivesStatusOne)
{
    TestReceiver receiver({"--replies", R"([{"reply":"{\"success\":1}"},{"reply":"{\"success\":0}"}])"});
    auto post = Run({"--url", receiver.Url(), "--threads", "1", photos.paths[0].string(), photos.paths[1].string()});
    EXPECT_EQ(post->WaitExit(1s), 1);
    const Json::Value first = receiver.Parsed(0);
    EXPECT_EQ(post->Output(), "{\"imgs\":[{\"id\":\"" + first["parts"][0]["value"].asString() +
                                  "\",\"svr\":{\"success\":1}}],\"name\":\"post_complete\"}\n");
}

TEST_F(TrellanPostTest, APictureThatCannotBeDecodedIsNamedAndNotSent)
{
    TestReceiver receiver;
    const std::string text = (photos.Folder() / "text.jpg").string();
    std::ofstream(text) << "not a picture";
    auto post = Run({"--url", receiver.Url(), "--threads", "1", text, photos.paths[0].string()});
    EXPECT_EQ(post->WaitExit(1s), 1);
    EXPECT_NE(post->Errors().find("error " + text + ": the picture cannot be read\n"), std::string::npos)
        << post->Errors();
    EXPECT_NE(post->Errors().find(" failed (the picture cannot be read) " + text + "\n"), std::string::npos);
    ASSERT_TRUE(receiver.WaitForRecorded(1));
    EXPECT_EQ(receiver.RequestCount(), 1);
    EXPECT_EQ(post->Output(), "{\"imgs\":[{\"id\":\"" + receiver.Parsed(0)["parts"][0]["value"].asString() +
                                  "\",\"svr\":{\"success\":1}}],\"name\":\"post_complete\"}\n");
}

TEST_F(TrellanPostTest, BadArgumentsAndUnreadableFilesGiveStatusTwo)
{
    const std::string photo = photos.paths[0].string();
    const std::vector<std::vector<std::string>> cases = {
        {photo},
        {"--url", "http://127.0.0.1:9/"},
        {"--url", "http://127.0.0.1:9/", "--threads", "0", photo},
        {"--url", "http://127.0.0.1:9/", "--threads", "three", photo},
        {"--url", "http://127.0.0.1:9/", "--name-gen", "sha1", photo},
        {"--url", "http://127.0.0.1:9/", "--field", "novalue", photo},
        {"--url", "http://127.0.0.1:9/", "--bogus", "1", photo},
        {"--url", "http://127.0.0.1:9/", "--encode-type", "no-such-charset", photo},
        {"--url", "http://127.0.0.1:9/", photo, "--threads"},
    };
    for (const auto& arguments : cases) {
        auto post = Run(arguments);
        EXPECT_EQ(post->WaitExit(1s), 2) << arguments.back();
        EXPECT_EQ(post->Output(), "");
    }
    const std::string missing = (photos.Folder() / "missing.png").string();
    auto post = Run({"--url", "http://127.0.0.1:9/", photo, missing});
    EXPECT_EQ(post->WaitExit(1s), 2);
    EXPECT_NE(post->Errors().find(missing), std::string::npos);
}

TEST_F(TrellanPostTest, InterruptStopsTheTaskWithoutAPageEvent)
{
    TestReceiver receiver({"--fault", "stall"});
    ChildProcess post(Command({"--url", receiver.Url(), "--threads", "1", photos.paths[0].string(),
                               photos.paths[1].string(), photos.paths[2].string()}));
    ASSERT_TRUE(receiver.WaitForRecorded(1));
    post.Signal(SIGINT);
    EXPECT_EQ(post.WaitExit(20s), 1);
    EXPECT_EQ(post.Output(), "");
    EXPECT_NE(post.Errors().find("task_end (stopped): 0 of 3"), std::string::npos) << post.Errors();
    EXPECT_EQ(receiver.RequestCount(), 1);
}

TEST_F(TrellanPostTest, SpecialFilesAreRefusedWithoutBlocking)
{
    const std::string fifo = (photos.Folder() / "photo.jpg").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& special : {fifo, photos.Folder().string(), std::string("/dev/zero")}) {
        auto post = Run({"--url", "http://127.0.0.1:9/", photos.paths[0].string(), special});
        EXPECT_EQ(post->WaitExit(1s), 2);
        EXPECT_NE(post->Errors().find("cannot read " + special + ": not a regular file"), std::string::npos)
            << post->Errors();
    }
}

TEST_F(TrellanPostTest, FileNamesThatAreNotUtf8AreSentWithTheirPictures)
{
    // "照片" in GBK, as archives made on other systems name files.
    const std::filesystem::path legacy = photos.Folder() / "\xD5\xD5\xC6\xAC.png";
    std::filesystem::copy_file(photos.paths[0], legacy);
    TestReceiver receiver;
    auto post = Run({"--url", receiver.Url(), legacy.string()});
    EXPECT_EQ(post->WaitExit(1s), 0) << post->Errors();
    ASSERT_TRUE(receiver.WaitForRecorded(1));
    const Json::Value file = receiver.Parsed(0)["parts"][4];
    EXPECT_GT(file["length"].asInt(), 100);
    // The name on the wire shows the bytes that are not UTF-8 as replacement characters.
    EXPECT_EQ(file["filename"].asString(), "%EF%BF%BD%EF%BF%BD%C6%AC%2Epng");
}

TEST_F(TrellanPostTest, InterruptWhileReadingThePhotosEndsWithStatusOne)
{
    PhotoFolder large(1, "2000x1500");
    std::vector<std::string> arguments = {"--url", "http://127.0.0.1:9/"};
    for (int copy = 0; copy < 12; ++copy) {
        const std::filesystem::path path = large.Folder() / ("copy-" + std::to_string(copy) + ".png");
        std::filesystem::copy_file(large.paths[0], path);
        arguments.push_back(path.string());
    }
    ChildProcess post(Command(arguments));
    // A photo open in the process shows that start-up has reached reading them.
    while (!ReadingFrom(post.Pid(), large.Folder()) && !post.WaitExit(1ms))
        ;
    post.Signal(SIGINT);
    EXPECT_EQ(post.WaitExit(60s), 1);
    EXPECT_NE(post.Errors().find("task_end (stopped): 0 of 12"), std::string::npos) << post.Errors();
}

TEST_F(TrellanPostTest, InterruptWritesThePageEventWithTheFilesAlreadyAccepted)
{
    TestReceiver receiver({"--replies", R"([{"reply":"{\"success\":1}"},{"fault":"stall"}])"});
    ChildProcess post(Command({"--url", receiver.Url(), "--threads", "1", photos.paths[0].string(),
                               photos.paths[1].string(), photos.paths[2].string()}));
    ASSERT_TRUE(receiver.WaitForRecorded(2));
    post.Signal(SIGINT);
    EXPECT_EQ(post.WaitExit(20s), 1);
    EXPECT_EQ(post.Output(), "{\"imgs\":[{\"id\":\"" + receiver.Parsed(0)["parts"][0]["value"].asString() +
                                 "\",\"svr\":{\"success\":1}}],\"name\":\"post_complete\"}\n");
    EXPECT_NE(post.Errors().find("task_end (stopped): 1 of 3"), std::string::npos) << post.Errors();
}

TEST_F(TrellanPostTest, EachFailureSaysWhyAndTheSummaryListsEveryFileWithItsId)
{
    const std::string first = photos.paths[0].string();
    const std::string second = photos.paths[1].string();
    const std::string third = photos.paths[2].string();
    TestReceiver receiver({"--replies", R"([{"reply":"{\"success\":1}"},{"status":500,"reply":"Internal\nerror"},)"
                                        R"({"reply":"{\"success\":0,\"msg\":\"full\"}"}])"});
    auto post = Run({"--url", receiver.Url(), "--threads", "1", first, second, third});
    EXPECT_EQ(post->WaitExit(1s), 1);
    const std::string errors = post->Errors();
    EXPECT_NE(errors.find("error " + second + ": HTTP status 500, reply: Internal error\n"), std::string::npos)
        << errors;
    EXPECT_NE(errors.find("error " + third + ": reply not a success: {\"success\":0,\"msg\":\"full\"}\n"),
              std::string::npos);
    EXPECT_NE(errors.find("complete " + first + " "), std::string::npos);
    ASSERT_TRUE(receiver.WaitForRecorded(3));
    const auto id = [&](int request) { return receiver.Parsed(request)["parts"][0]["value"].asString(); };
    EXPECT_NE(errors.find("task_end: 1 of 3 files sent\n" + id(0) + " sent " + first + "\n" + id(1) +
                          " failed (HTTP status 500, reply: Internal error) " + second + "\n" + id(2) +
                          " failed (reply not a success: {\"success\":0,\"msg\":\"full\"}) " + third + "\n"),
              std::string::npos)
        << errors;
}

TEST_F(TrellanPostTest, RepliesCutOffBeforeTheirEndFailWhateverTheyBeginWith)
{
    // Each of the first three replies is {"success":1} and then ends early: closed at
    // once, closed after a pause, or closed within its chunks.
    TestReceiver receiver(
        {"--replies", R"([{"fault":"cut"},{"fault":"cut-pause"},{"fault":"cut-chunked"},{}])", "--stall-seconds", "2"});
    PhotoFolder four(4);
    std::vector<std::string> arguments = {"--url", receiver.Url(), "--threads", "1"};
    for (const auto& path : four.paths)
        arguments.push_back(path.string());
    auto post = Run(arguments);
    EXPECT_EQ(post->WaitExit(1s), 1);
    ASSERT_TRUE(receiver.WaitForRecorded(4));
    const auto id = [&](int request) { return receiver.Parsed(request)["parts"][0]["value"].asString(); };
    EXPECT_EQ(post->Output(),
              "{\"imgs\":[{\"id\":\"" + id(3) + "\",\"svr\":{\"success\":1}}],\"name\":\"post_complete\"}\n");
    for (int i = 0; i < 3; ++i) {
        EXPECT_NE(post->Errors().find(id(i) + " failed (no reply: the reply was cut off) " + four.paths[i].string()),
                  std::string::npos)
            << post->Errors();
    }
}

TEST_F(TrellanPostTest, ConnectionProblemsAreNamed)
{
    const std::string photo = photos.paths[0].string();
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"http://127.0.0.1:9/", "connection refused"},
        {"ftp://127.0.0.1:9/", "unsupported scheme (only http and https)"},
    };
    for (const auto& [url, reason] : cases) {
        auto post = Run({"--url", url, photo});
        EXPECT_EQ(post->WaitExit(1s), 1);
        EXPECT_NE(post->Errors().find("error " + photo + ": " + reason + "\n"), std::string::npos) << post->Errors();
    }
}

} // namespace
