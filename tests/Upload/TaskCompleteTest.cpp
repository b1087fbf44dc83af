#include "Control/ControlFixture.h"
#include "UploadHarness.h"
#include "support/TestReceiver.h"

using namespace UploadHarness;
using TestSupport::TestReceiver;

namespace {

// A control on the test's thread whose task events arrive through its window.
class TaskCompleteTest : public ControlFixture {
protected:
    void TearDown() override
    {
        UploadManager::Instance().Stop();
        RunUntil([] { return !UploadManager::Instance().IsRunning(); });
        UploadManager::Instance().SetOwner(nullptr);
        ControlFixture::TearDown();
    }

    void StartTask(const TestReceiver& receiver, int files)
    {
        for (int i = 0; i < files; ++i)
            list.Add(photos.paths[static_cast<std::size_t>(i)]);
        AppConfig::Instance().PostUrl = receiver.WideUrl();
        AppConfig::Instance().ThreadCount = 1;
        UploadManager::Instance().SetOwner(&list);
        ASSERT_TRUE(UploadManager::Instance().StartTask());
    }

    template <typename Done> bool RunUntil(Done done, std::chrono::milliseconds limit = 30s)
    {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            Platform::WaitMessageTimeout(20);
            Pump();
        }
        Pump();
        return true;
    }

    PhotoFolder photos{3};
    TestList list;
};

TEST_F(TaskCompleteTest, PageReceivesTheIdAndReplyOfEverySentFile)
{
    TestReceiver receiver({"--reply", R"({"success":1,"url":"/p/1.png"})"});
    StartTask(receiver, 2);
    ASSERT_TRUE(RunUntil([&] { return !page.texts.empty(); }));
    EXPECT_EQ(page.texts,
              std::vector<std::string>{R"({"imgs":[{"id":")" + list[0].File()->id +
                                       R"(","svr":{"success":1,"url":"/p/1.png"}},{"id":")" + list[1].File()->id +
                                       R"(","svr":{"success":1,"url":"/p/1.png"}}],"name":"post_complete"})"
                                       "\n"});
    EXPECT_EQ(MsgMailbox::Instance().Count(), 0u);
}

TEST_F(TaskCompleteTest, TaskWithoutSuccessesSendsNoImages)
{
    TestReceiver receiver({"--reply", R"({"success":0})"});
    StartTask(receiver, 2);
    ASSERT_TRUE(RunUntil([&] { return !page.texts.empty(); }));
    EXPECT_EQ(page.texts, std::vector<std::string>{"{\"name\":\"post_complete\"}\n"});
}

TEST_F(TaskCompleteTest, CancelledTaskReportsTheFilesAcceptedBeforeTheStop)
{
    TestReceiver receiver({"--replies", R"([{"reply":"{\"success\":1}"},{"fault":"stall"}])"});
    StartTask(receiver, 3);
    ASSERT_TRUE(receiver.WaitForRecorded(2));
    UploadManager::Instance().Stop();
    ASSERT_TRUE(RunUntil([] { return !UploadManager::Instance().IsRunning(); }));
    ASSERT_TRUE(RunUntil([&] { return !page.texts.empty(); }));
    EXPECT_EQ(page.texts, std::vector<std::string>{R"({"imgs":[{"id":")" + list[0].File()->id +
                                                   R"(","svr":{"success":1}}],"name":"post_complete"})"
                                                   "\n"});
}

TEST_F(TaskCompleteTest, CancelledTaskWithoutAcceptedFilesSendsNothing)
{
    TestReceiver receiver({"--fault", "stall"});
    StartTask(receiver, 2);
    ASSERT_TRUE(receiver.WaitForRecorded(1));
    UploadManager::Instance().Stop();
    ASSERT_TRUE(RunUntil([] { return !UploadManager::Instance().IsRunning(); }));
    EXPECT_TRUE(page.texts.empty());
}

} // namespace
