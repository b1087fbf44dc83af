#pragma once
// The host's session slots: at most so many sessions in all, and at most so many for
// any one page origin, so that one site cannot take every slot. Lives on the host's
// one I/O thread.

#include <map>
#include <string>

class SessionSlots {
public:
    SessionSlots(int total, int perOrigin) : total(total), perOrigin(perOrigin) {}

    // A slot for a new session; false when all are taken.
    bool TakeSession();
    void ReturnSession();
    // Counts a session against the page origin it serves; false when that origin has
    // all of its slots.
    bool TakeOrigin(const std::string& origin);
    void ReturnOrigin(const std::string& origin);

    int Total() const { return total; }
    // Sessions open now.
    int Open() const { return open; }
    int PerOrigin() const { return perOrigin; }

private:
    const int total;
    const int perOrigin;
    int open = 0;
    std::map<std::string, int> byOrigin;
};
