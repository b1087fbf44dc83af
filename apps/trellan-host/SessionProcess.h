#pragma once
// A page session's control process: trellan-session started with one end of a local
// socket pair as its descriptor 3. The host keeps the other end. The process is ended
// and reaped when this object goes away.

#include <sys/types.h>

#include <string>
#include <vector>

class SessionProcess {
public:
    SessionProcess() = default;
    ~SessionProcess();
    SessionProcess(const SessionProcess&) = delete;
    SessionProcess& operator=(const SessionProcess&) = delete;

    // Starts program with arguments; returns the host's end of the socket, or -1 with
    // the reason in error.
    int Start(const std::string& program, const std::vector<std::string>& arguments, std::string& error);
    pid_t Pid() const { return pid; }
    // Kills the process at once (a hang, or the end of its page).
    void Kill();

private:
    pid_t pid = -1;
};
