#include "ControlFixture.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

using namespace Platform;

namespace {

class Logging : public ControlFixture {
protected:
    void SetUp() override
    {
        ControlFixture::SetUp();
        folder = std::filesystem::temp_directory_path() /
                 ("trellan-log-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder);
    }
    void TearDown() override
    {
        ControlFixture::TearDown();
        std::filesystem::remove_all(folder);
    }

    void Init(const std::string& config) { Post(R"({"name":"init","config":)" + config + "}"); }

    static std::string Read(const std::filesystem::path& path)
    {
        std::ifstream file(path, std::ios::binary);
        std::stringstream content;
        content << file.rdbuf();
        return content.str();
    }

    std::filesystem::path folder;
};

const std::regex kLine(R"(\d\d/\d\d/\d\d \d\d:\d\d:\d\d    - 日志创建成功 \[\.\.\\\.\.\\src\\Biz\\Log:47\]\n)");

} // namespace

TEST_F(Logging, InitWithDebugAndAFileWritesTheConfirmationLine)
{
    const auto path = folder / "trellan.log";
    std::ofstream(path) << "old content\n";
    Init(R"({"Debug":true,"LogFile":")" + path.string() + R"("})");
    const std::string content = Read(path);
    EXPECT_TRUE(std::regex_match(content, kLine)) << content;
}

TEST_F(Logging, NoFileWithoutDebugOrWithoutAPath)
{
    const auto path = folder / "never.log";
    Init(R"({"Debug":false,"LogFile":")" + path.string() + R"("})");
    Init(R"({"Debug":true,"LogFile":""})");
    Init(R"({"Debug":true})");
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(page.texts.size(), 3u);
}

TEST_F(Logging, NamingTheSameFileAgainTruncatesItWithoutDoublingLaterLines)
{
    const auto first = folder / "one.log";
    const auto second = folder / "two.log";
    Init(R"({"Debug":true,"LogFile":")" + first.string() + R"("})");
    Init(R"({"Debug":true,"LogFile":")" + first.string() + R"("})");
    EXPECT_TRUE(std::regex_match(Read(first), kLine)) << Read(first);

    // Another file gets an appender of its own; both receive later messages once.
    Init(R"({"Debug":true,"LogFile":")" + second.string() + R"("})");
    const std::string one = Read(first);
    EXPECT_EQ(std::count(one.begin(), one.end(), '\n'), 2) << one;
    EXPECT_TRUE(std::regex_match(Read(second), kLine));
}

TEST_F(Logging, AFileThatCannotBeOpenedIsIgnored)
{
    Init(R"({"Debug":true,"LogFile":")" + (folder / "missing" / "x.log").string() + R"("})");
    EXPECT_EQ(page.texts.size(), 1u);
    EXPECT_EQ(AppConfig::Instance().ThreadCount, 3);
}

TEST_F(Logging, AFifoOrDeviceIsRefusedLikeAFileThatCannotBeOpened)
{
    // With a reader on the other end, opening the FIFO for writing would succeed; the
    // log must still not go there (without a reader the open would block the page).
    const auto fifo = folder / "photo.log";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    Init(R"({"Debug":true,"LogFile":")" + fifo.string() + R"("})");
    Init(R"({"Debug":true,"LogFile":"/dev/null"})");
    EXPECT_EQ(page.texts.size(), 2u);
    // Nothing was written, and no writer holds the FIFO open.
    char byte = 0;
    EXPECT_EQ(read(reader, &byte, 1), 0);
    close(reader);

    // A regular file named afterwards still gets the log.
    const auto path = folder / "after.log";
    Init(R"({"Debug":true,"LogFile":")" + path.string() + R"("})");
    EXPECT_TRUE(std::regex_match(Read(path), kLine)) << Read(path);
}

TEST_F(Logging, IgnoredCommandsAreLoggedWithTheLogsOwnSourceForm)
{
    const auto path = folder / "trellan.log";
    Init(R"({"Debug":true,"LogFile":")" + path.string() + R"("})");
    EXPECT_EQ(Post(R"({"name":"setFolder","path":[1]})"), S_OK);
    const std::string content = Read(path);
    const std::string second = content.substr(content.find('\n') + 1);
    EXPECT_TRUE(std::regex_match(
        second,
        std::regex(
            R"(\d\d/\d\d/\d\d \d\d:\d\d:\d\d    - command ignored: .+ \[\.\.\\\.\.\\src\\Control\\CTrellan:\d+\]\n)")))
        << second;
    EXPECT_EQ(second.find('/', 8), std::string::npos) << "no path of the build machine";
}
