#pragma once
// Lets at most a fixed number of prepared uploads on the wire at once, in the order
// their files were handed out. An upload takes a ticket when it is started, prepares
// its body, then waits at the gate for its turn and a free place; one whose body
// could not be prepared passes its turn on. Shared by the task and its jobs; every
// field is guarded by the one mutex.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <set>

class WireGate {
public:
    explicit WireGate(int places);

    // The next ticket, in the order files are handed out. Task thread.
    std::uint64_t Issue();
    // Waits for the ticket's turn and a free place; false, without a place, when the
    // stop flag is set first.
    bool Enter(std::uint64_t ticket, const std::atomic<bool>& stopFlag);
    // Gives back the place taken by Enter.
    void Leave();
    // Gives up the ticket's turn without taking a place.
    void Pass(std::uint64_t ticket);

private:
    void SkipPassed();

    const int places;
    std::mutex lock;
    std::condition_variable changed;
    std::uint64_t issued = 0;
    std::uint64_t serving = 0; // the ticket whose turn it is
    std::set<std::uint64_t> passed;
    int onWire = 0;
};
