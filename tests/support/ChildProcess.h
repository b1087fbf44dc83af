#pragma once
// A child process for tests: its standard input and output are pipes, its standard
// error is captured too, and every wait has a time limit so a stuck child can never
// hang a test. The child is killed when the object goes away.

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace TestSupport {

class ChildProcess {
public:
    explicit ChildProcess(const std::vector<std::string>& arguments)
    {
        int input[2], output[2], errors[2];
        if (pipe(input) != 0 || pipe(output) != 0 || pipe(errors) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, input[0], 0);
        posix_spawn_file_actions_adddup2(&actions, output[1], 1);
        posix_spawn_file_actions_adddup2(&actions, errors[1], 2);
        for (int fd : {input[0], input[1], output[0], output[1], errors[0], errors[1]})
            posix_spawn_file_actions_addclose(&actions, fd);
        std::vector<char*> argv;
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
            pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(input[0]);
        close(output[1]);
        close(errors[1]);
        stdinFd = input[1];
        stdoutFd = output[0];
        stderrFd = errors[0];
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess()
    {
        Signal(SIGKILL);
        WaitExit(std::chrono::seconds(5));
        for (int fd : {stdinFd, stdoutFd, stderrFd}) {
            if (fd >= 0)
                close(fd);
        }
    }

    bool Started() const { return pid > 0; }
    pid_t Pid() const { return pid; }

    void Signal(int signal)
    {
        if (pid > 0 && !exitStatus)
            kill(pid, signal);
    }

    void CloseInput()
    {
        if (stdinFd >= 0)
            close(stdinFd);
        stdinFd = -1;
    }

    // The next line of standard output, without its line feed; nothing on time-out
    // or at the end of the output.
    std::optional<std::string> ReadLine(std::chrono::milliseconds limit)
    {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        for (;;) {
            const auto end = out.find('\n');
            if (end != std::string::npos) {
                std::string line = out.substr(0, end);
                out.erase(0, end + 1);
                return line;
            }
            if (!Pump(deadline))
                return std::nullopt;
        }
    }

    // Waits for the exit and collects all output; the exit status, or nothing when
    // the child did not end in time.
    std::optional<int> WaitExit(std::chrono::milliseconds limit)
    {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (!exitStatus && pid > 0) {
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid) {
                exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
                break;
            }
            if (std::chrono::steady_clock::now() >= deadline)
                return std::nullopt;
            Pump(std::chrono::steady_clock::now() + std::chrono::milliseconds(20));
        }
        while (Pump(std::chrono::steady_clock::now() + std::chrono::milliseconds(50))) {}
        return exitStatus;
    }

    const std::string& Output() const { return out; }
    const std::string& Errors() const { return err; }

private:
    // Reads what is available from standard output and error until the deadline;
    // false when nothing more came (time-out or both closed).
    bool Pump(std::chrono::steady_clock::time_point deadline)
    {
        pollfd fds[2] = {{stdoutFd, POLLIN, 0}, {stderrFd, POLLIN, 0}};
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (stdoutFd < 0 && stderrFd < 0)
            return false;
        if (poll(fds, 2, static_cast<int>(std::max<std::int64_t>(left.count(), 0))) <= 0)
            return false;
        bool got = false;
        for (int i = 0; i < 2; ++i) {
            if (!(fds[i].revents & (POLLIN | POLLHUP)))
                continue;
            char buffer[65536];
            const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
            int& fd = i == 0 ? stdoutFd : stderrFd;
            if (n <= 0) {
                close(fd);
                fd = -1;
                continue;
            }
            (i == 0 ? out : err).append(buffer, static_cast<std::size_t>(n));
            got = true;
        }
        return got || stdoutFd >= 0 || stderrFd >= 0;
    }

    pid_t pid = -1;
    int stdinFd = -1;
    int stdoutFd = -1;
    int stderrFd = -1;
    std::string out;
    std::string err;
    std::optional<int> exitStatus;
};

} // namespace TestSupport
