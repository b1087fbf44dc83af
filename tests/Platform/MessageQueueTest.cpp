#include "Platform/Win/MessageLoop.h"
#include "Platform/Win/Window.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

using namespace Platform;

namespace {

constexpr UINT kRecord = WM_USER + 1;
constexpr UINT kAnswer = WM_USER + 2;

struct Recorder {
    std::vector<std::pair<UINT, WPARAM>> messages;
    std::vector<UINT> lifecycle;
    std::thread::id answeredOn;
};

LRESULT RecorderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    auto* recorder = reinterpret_cast<Recorder*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!recorder)
        return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case kRecord:
        recorder->messages.emplace_back(message, wParam);
        return 0;
    case kAnswer:
        recorder->answeredOn = std::this_thread::get_id();
        return static_cast<LRESULT>(wParam * 2);
    case WM_CREATE:
    case WM_DESTROY:
    case WM_NCDESTROY:
        recorder->lifecycle.push_back(message);
        return message == WM_CREATE && lParam && reinterpret_cast<CREATESTRUCTW*>(lParam)->cx == 13 ? -1 : 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

class MessageQueueTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        WNDCLASSW windowClass;
        windowClass.lpfnWndProc = &RecorderProc;
        windowClass.lpszClassName = L"TestRecorder";
        RegisterClassW(&windowClass);
    }

    HWND Create(Recorder& recorder, HWND parent = nullptr, int width = 10)
    {
        return CreateWindowExW(0, L"TestRecorder", L"", parent ? WS_CHILD : WS_POPUP, 0, 0, width, 10, parent, nullptr,
                               nullptr, &recorder);
    }

    static void DrainQueue()
    {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
    }
};

} // namespace

TEST_F(MessageQueueTest, PostsFromManyThreadsArriveAllAndInEachThreadsOrder)
{
    Recorder recorder;
    HWND window = Create(recorder);
    constexpr int kThreads = 4;
    constexpr int kEach = 500;
    std::vector<std::thread> posters;
    for (int t = 0; t < kThreads; ++t)
        posters.emplace_back([=] {
            for (int i = 0; i < kEach; ++i)
                PostMessageW(window, kRecord, static_cast<WPARAM>(t * kEach + i), 0);
        });
    for (auto& poster : posters)
        poster.join();
    DrainQueue();

    ASSERT_EQ(recorder.messages.size(), static_cast<std::size_t>(kThreads * kEach));
    std::vector<int> lastOfThread(kThreads, -1);
    for (auto& [message, value] : recorder.messages) {
        const int thread = static_cast<int>(value) / kEach;
        EXPECT_GT(static_cast<int>(value), lastOfThread[thread]);
        lastOfThread[thread] = static_cast<int>(value);
    }
    DestroyWindow(window);
}

TEST_F(MessageQueueTest, DestroyedWindowsDropQueuedMessagesAndRefuseNewOnes)
{
    Recorder parentRecorder, childRecorder;
    HWND parent = Create(parentRecorder);
    HWND child = Create(childRecorder, parent);
    ASSERT_TRUE(IsWindow(child));
    PostMessageW(child, kRecord, 1, 0);
    ASSERT_TRUE(DestroyWindow(parent));

    EXPECT_FALSE(IsWindow(parent));
    EXPECT_FALSE(IsWindow(child));
    EXPECT_FALSE(PostMessageW(child, kRecord, 2, 0));
    EXPECT_EQ(SendMessageW(child, kAnswer, 4, 0), 0);
    DrainQueue();
    EXPECT_TRUE(childRecorder.messages.empty());
    EXPECT_EQ(parentRecorder.lifecycle, (std::vector<UINT>{WM_CREATE, WM_DESTROY, WM_NCDESTROY}));
    EXPECT_EQ(childRecorder.lifecycle, (std::vector<UINT>{WM_CREATE, WM_DESTROY, WM_NCDESTROY}));
}

TEST_F(MessageQueueTest, CreationRefusedByWmCreateGivesNoWindow)
{
    Recorder recorder;
    EXPECT_EQ(Create(recorder, nullptr, 13), nullptr);
    EXPECT_EQ(recorder.lifecycle, (std::vector<UINT>{WM_CREATE, WM_DESTROY, WM_NCDESTROY}));
}

TEST_F(MessageQueueTest, SendFromAnotherThreadRunsOnTheOwnerAndWaitsForTheResult)
{
    Recorder recorder;
    HWND window = Create(recorder);
    std::atomic<LRESULT> result{0};
    std::thread sender([&] { result = SendMessageW(window, kAnswer, 21, 0); });
    MSG message;
    while (result == 0) {
        WaitMessageTimeout(100);
        PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);
    }
    sender.join();
    EXPECT_EQ(result, 42);
    EXPECT_EQ(recorder.answeredOn, std::this_thread::get_id());
    DestroyWindow(window);
}

TEST_F(MessageQueueTest, QuitComesAfterThePostedMessagesAndEndsGetMessage)
{
    Recorder recorder;
    HWND window = Create(recorder);
    PostQuitMessage(7);
    PostMessageW(window, kRecord, 1, 0);
    MSG message;
    ASSERT_TRUE(GetMessageW(&message, nullptr, 0, 0));
    EXPECT_EQ(message.message, kRecord);
    EXPECT_FALSE(GetMessageW(&message, nullptr, 0, 0));
    EXPECT_EQ(message.message, WM_QUIT);
    EXPECT_EQ(message.wParam, 7u);
    DestroyWindow(window);
}

TEST_F(MessageQueueTest, SendToAWindowWhoseThreadEndedFailsInsteadOfHanging)
{
    std::atomic<HWND> window{nullptr};
    Recorder recorder;
    std::thread owner([&] { window = Create(recorder); });
    owner.join();
    EXPECT_EQ(SendMessageW(window, kAnswer, 5, 0), 0);
    EXPECT_FALSE(PostMessageW(window, kRecord, 1, 0));
}

TEST_F(MessageQueueTest, WaitMessageTimeoutWakesForAPostFromAnotherThread)
{
    Recorder recorder;
    HWND window = Create(recorder);
    std::thread poster([&] { PostMessageW(window, kRecord, 9, 0); });
    EXPECT_TRUE(WaitMessageTimeout(10000));
    poster.join();
    DrainQueue();
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_FALSE(WaitMessageTimeout(1));
    DestroyWindow(window);
}

TEST_F(MessageQueueTest, GetMessageRunsTheIdleHookWhenNothingIsQueuedAndNestedLoopsDoToo)
{
    Recorder recorder;
    HWND window = Create(recorder);
    PostMessageW(window, kRecord, 1, 0);
    int calls = 0;
    std::vector<WPARAM> seenInside;
    SetIdleHook([&]() -> DWORD {
        ++calls;
        if (calls == 1) {
            // A nested loop run from the hook gets the hook's next step.
            MSG inner;
            EXPECT_TRUE(GetMessageW(&inner, nullptr, 0, 0));
            seenInside.push_back(inner.wParam);
            PostMessageW(window, kRecord, 3, 0);
        } else if (calls == 2) {
            PostMessageW(window, kRecord, 2, 0);
        }
        return INFINITE;
    });
    MSG message;
    ASSERT_TRUE(GetMessageW(&message, nullptr, 0, 0));
    EXPECT_EQ(message.wParam, 1u);
    EXPECT_EQ(calls, 0);
    ASSERT_TRUE(GetMessageW(&message, nullptr, 0, 0));
    EXPECT_EQ(message.wParam, 3u);
    EXPECT_EQ(seenInside, std::vector<WPARAM>{2});
    // A filtered wait leaves the hook alone.
    PostMessageW(window, kRecord, 4, 0);
    ASSERT_TRUE(GetMessageW(&message, window, kRecord, kRecord));
    EXPECT_EQ(calls, 2);
    SetIdleHook(nullptr);
    DestroyWindow(window);
}

TEST_F(MessageQueueTest, TheLongestBusyStretchRunsFromTakingAMessageToAskingForTheNext)
{
    // A thread of its own: the statistic is per thread.
    std::int64_t before = -1, after = -1, idle = -1;
    std::thread loop([&] {
        Recorder recorder;
        HWND window = Create(recorder);
        MSG message;
        PostMessageW(window, kRecord, 1, 0);
        GetMessageW(&message, nullptr, 0, 0);
        before = LongestBusyMicroseconds();
        std::this_thread::sleep_for(std::chrono::milliseconds(30)); // handling the message
        PostMessageW(window, kRecord, 2, 0);
        GetMessageW(&message, nullptr, 0, 0);
        after = LongestBusyMicroseconds();
        // Time spent in the idle hook waiting for work is not busy time.
        int calls = 0;
        SetIdleHook([&]() -> DWORD {
            if (++calls == 1) {
                std::this_thread::sleep_for(std::chrono::milliseconds(60));
                PostMessageW(window, kRecord, 3, 0);
            }
            return INFINITE;
        });
        GetMessageW(&message, nullptr, 0, 0);
        SetIdleHook(nullptr);
        idle = LongestBusyMicroseconds();
        DestroyWindow(window);
    });
    loop.join();
    EXPECT_EQ(before, 0);
    EXPECT_GE(after, 30000);
    EXPECT_EQ(idle, after);
}
