#include "Platform/Signal.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using Platform::Connection;
using Platform::ScopedConnection;
using Platform::Signal;

TEST(SignalTest, SlotsRunInOrderAndMayChangeTheListWhileItRuns)
{
    Signal<void(int)> signal;
    std::vector<std::string> calls;
    Connection second;
    signal.connect([&](int value) {
        calls.push_back("first " + std::to_string(value));
        // Disconnecting a later slot keeps it from this call; a new slot waits for the next.
        second.disconnect();
        signal.connect([&](int v) { calls.push_back("late " + std::to_string(v)); });
    });
    second = signal.connect([&](int value) { calls.push_back("second " + std::to_string(value)); });
    Connection third;
    third = signal.connect([&](int value) {
        calls.push_back("third " + std::to_string(value));
        third.disconnect();
    });

    signal(1);
    EXPECT_EQ(calls, (std::vector<std::string>{"first 1", "third 1"}));
    EXPECT_FALSE(second.connected());
    EXPECT_FALSE(third.connected());
    calls.clear();
    signal(2);
    EXPECT_EQ(calls, (std::vector<std::string>{"first 2", "late 2"}));
}

TEST(SignalTest, ConnectionsEndWithTheirScopeAndOutliveTheirSignalHarmlessly)
{
    Connection kept;
    int calls = 0;
    {
        auto signal = std::make_unique<Signal<void()>>();
        {
            ScopedConnection scoped = signal->connect([&] { ++calls; });
            (*signal)();
        }
        (*signal)();
        EXPECT_EQ(calls, 1);
        kept = signal->connect([&] { ++calls; });
        ScopedConnection reassigned = signal->connect([&] { calls += 10; });
        // Given another slot, a scoped connection lets go of the one it had.
        reassigned = signal->connect([&] { calls += 100; });
        (*signal)();
        EXPECT_EQ(calls, 102);
        EXPECT_TRUE(kept.connected());
    }
    EXPECT_FALSE(kept.connected());
    kept.disconnect();
}

TEST(SignalTest, SlotsConnectedAndDisconnectedOnOtherThreadsWhileItRuns)
{
    Signal<void()> signal;
    std::atomic<int> calls{0};
    std::atomic<bool> done{false};
    std::thread emitter([&] {
        while (!done)
            signal();
    });
    for (int i = 0; i < 2000; ++i)
        signal.connect([&] { ++calls; }).disconnect();
    const Connection last = signal.connect([&] { ++calls; });
    while (calls == 0)
        std::this_thread::yield();
    done = true;
    emitter.join();
    EXPECT_TRUE(last.connected());
}
