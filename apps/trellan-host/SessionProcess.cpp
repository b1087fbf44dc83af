#include "SessionProcess.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {
constexpr int kChildSocket = 3;
}

SessionProcess::~SessionProcess()
{
    Kill();
}

int SessionProcess::Start(const std::string& program, const std::vector<std::string>& arguments, std::string& error)
{
    int sockets[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sockets) != 0) {
        error = std::string("cannot make a local socket: ") + std::strerror(errno);
        return -1;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // dup2 clears close-on-exec on the copy, so only descriptor 3 reaches the child.
    posix_spawn_file_actions_adddup2(&actions, sockets[1], kChildSocket);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const int status = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(sockets[1]);
    if (status != 0) {
        pid = -1;
        close(sockets[0]);
        error = "cannot start " + program + ": " + std::strerror(status);
        return -1;
    }
    return sockets[0];
}

void SessionProcess::Kill()
{
    if (pid <= 0)
        return;
    // The process has not been reaped, so its id cannot have been given to another.
    kill(pid, SIGKILL);
    while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {}
    pid = -1;
}
