#include "Biz/ImageData.h"
#include "Control/OverallProgress.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

class OverallProgressTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = std::filesystem::temp_directory_path() /
                 ("trellan-overall-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::shared_ptr<ImageData> File(const std::string& name, std::size_t size)
    {
        std::ofstream(folder / name, std::ios::binary) << std::string(size, 'x');
        return std::make_shared<ImageData>((folder / name).wstring());
    }

    std::filesystem::path folder;
};

TEST_F(OverallProgressTest, TheBandCountsFilesAndBytesAndEstimatesFromTheSpeedSoFar)
{
    OverallProgress progress;
    const auto first = File("a.jpg", 1000000);
    const auto second = File("b.jpg", 3000000);
    progress.Start({first, second}, 10000);
    EXPECT_EQ(progress.Text(10000), L"已上传 0/2 个文件，0%，0 bytes/秒，剩余 --:--");

    // The body's size replaces the file's once known; what was sent counts until done.
    first->uploadSize = 1000000;
    first->sentBytes = 1000000;
    progress.FileDone(first.get());
    second->uploadSize = 3000000;
    second->sentBytes = 1000000;
    EXPECT_EQ(progress.SentBytes(), 2000000);
    EXPECT_EQ(progress.TotalBytes(), 4000000);
    // 2,000,000 bytes in 2 s: 1,000,000 a second, 2 s for the 2,000,000 left.
    EXPECT_EQ(progress.Text(12000), L"已上传 1/2 个文件，50%，976 KB/秒，剩余 0:02");

    // A file the task does not hold is no part of it, and a failed file counts as done.
    progress.FileDone(File("c.jpg", 10).get());
    progress.FileDone(second.get());
    EXPECT_EQ(progress.DoneCount(), 2);
    EXPECT_EQ(progress.Text(12000), L"已上传 2/2 个文件，100%，1.90 MB/秒，剩余 0:00");
    progress.Stop();
    EXPECT_FALSE(progress.Running());
    EXPECT_EQ(progress.FileCount(), 0);
}

} // namespace
