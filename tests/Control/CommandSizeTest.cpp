// Large page commands: one over the documented size is refused with a log line, and
// one under it costs the control a small constant amount of memory per byte.

#include "ControlFixture.h"

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace Platform;

namespace {

class CommandSize : public ControlFixture {
protected:
    // An "init" whose PostUrl makes the command exactly `size` characters long.
    static BSTR InitOfSize(std::size_t size)
    {
        const std::u16string head = u"{\"name\":\"init\",\"config\":{\"PostUrl\":\"";
        const std::u16string tail = u"\"}}";
        BSTR command = SysAllocStringLen(nullptr, static_cast<UINT>(size));
        std::copy(head.begin(), head.end(), command);
        std::fill(command + head.size(), command + size - tail.size(), u'u');
        std::copy(tail.begin(), tail.end(), command + size - tail.size());
        return command;
    }
};

std::int64_t ResidentBytes()
{
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return std::int64_t{resident} * sysconf(_SC_PAGESIZE);
}

std::int64_t PeakResidentBytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return std::int64_t{usage.ru_maxrss} * 1024;
}

} // namespace

TEST_F(CommandSize, ACommandOverTheLimitIsRefusedWithALogLineAndChangesNothing)
{
    const auto log = std::filesystem::temp_directory_path() / ("trellan-size-" + std::to_string(getpid()) + ".log");
    Post(R"({"name":"init","config":{"Debug":true,"LogFile":")" + log.string() + R"(","PostUrl":"http://h/"}})");
    ASSERT_EQ(page.texts.size(), 1u);

    ScopedBstr over(InitOfSize(CTrellan::MaxCommandBytes + 1));
    EXPECT_EQ(control->postMessage(over.Get()), S_OK);
    EXPECT_EQ(page.texts.size(), 1u);
    EXPECT_TRUE(AppConfig::Instance().PostUrl == L"http://h/");

    // Characters beyond ASCII take more bytes than units: the limit counts bytes.
    const std::wstring chinese(CTrellan::MaxCommandBytes / 3 + 10, L'照');
    Post(R"({"name":"setFolder","path":")" + WideToUtf8(chinese) + "\"}");
    EXPECT_TRUE(AppConfig::Instance().FolderPath.empty());

    std::stringstream content;
    content << std::ifstream(log).rdbuf();
    EXPECT_NE(content.str().find("command refused: " + std::to_string(CTrellan::MaxCommandBytes + 1) + " bytes"),
              std::string::npos)
        << content.str();
    std::filesystem::remove(log);

    ScopedBstr under(InitOfSize(CTrellan::MaxCommandBytes));
    control->postMessage(under.Get());
    EXPECT_EQ(page.texts.size(), 2u);
    EXPECT_EQ(AppConfig::Instance().PostUrl.size(), CTrellan::MaxCommandBytes - 39);
}

TEST_F(CommandSize, ALargeCommandCostsAFewBytesOfMemoryPerByte)
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "sanitizers keep freed memory and add their own";
#endif
    // A process of its own, so that no earlier test's peak hides this one's.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::size_t size = 12 << 20;
    EXPECT_EXIT(
        {
            ScopedBstr command(InitOfSize(size));
            const std::int64_t before = ResidentBytes();
            control->postMessage(command.Get());
            const double perByte = double(PeakResidentBytes() - before) / double(size);
            std::fprintf(stderr, "%.2f bytes per byte\n", perByte);
            std::exit(AppConfig::Instance().PostUrl.size() == size - 39 && perByte <= 6 ? 0 : 1);
        },
        testing::ExitedWithCode(0), "bytes per byte");
}
