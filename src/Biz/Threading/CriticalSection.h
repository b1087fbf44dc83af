#pragma once
// A re-entrant lock, with a guard that holds it for a scope.

#include <mutex>

namespace Zivoro::Threading {

class CriticalSection {
public:
    void Enter() { mutex.lock(); }
    void Leave() { mutex.unlock(); }

private:
    std::recursive_mutex mutex;
};

class ScopedLock {
public:
    explicit ScopedLock(CriticalSection& section) : section(section) { section.Enter(); }
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;
    ~ScopedLock() { section.Leave(); }

private:
    CriticalSection& section;
};

} // namespace Zivoro::Threading
