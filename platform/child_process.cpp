#include "platform/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <thread>

extern char** environ;

namespace platform {

namespace {

// Children alive right now, for KillAllChildren; plain atomics so that a signal handler may read them.
constexpr int MaxLiveChildren = 256;
std::atomic<pid_t> liveChildren[MaxLiveChildren];

void Register(pid_t pid) {
    for (std::atomic<pid_t>& slot : liveChildren) {
        pid_t empty = 0;
        if (slot.compare_exchange_strong(empty, pid)) {
            return;
        }
    }
}

void Unregister(pid_t pid) {
    for (std::atomic<pid_t>& slot : liveChildren) {
        pid_t expected = pid;
        if (slot.compare_exchange_strong(expected, 0)) {
            return;
        }
    }
}

void CloseFd(int& fd) {
    if (fd >= 0) {
        close(fd);
        fd = -1;
    }
}

// Our environment with the given entries added, each replacing an entry of the same name.
std::vector<std::string> ChildEnvironment(const std::vector<std::string>& extra) {
    std::vector<std::string> entries;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        const std::string name = text.substr(0, text.find('=') + 1);
        bool replaced = false;
        for (const std::string& added : extra) {
            replaced = replaced || added.compare(0, name.size(), name) == 0;
        }
        if (!replaced) {
            entries.push_back(text);
        }
    }
    entries.insert(entries.end(), extra.begin(), extra.end());
    return entries;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) {
        pointers.push_back(text.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

[[noreturn]] void ExecChild(char** argv, char** envp, int input, int output, int errorFd, int report) {
    dup2(input, STDIN_FILENO);
    dup2(output, STDOUT_FILENO);
    dup2(errorFd, STDERR_FILENO);
    signal(SIGPIPE, SIG_DFL);
    execve(argv[0], argv, envp);
    int code = errno;
    ssize_t ignored = write(report, &code, sizeof(code));
    (void)ignored;
    _exit(127);
}

bool Reap(ChildProcess& child, bool block) {
    if (child.reaped || child.pid <= 0) {
        return child.reaped;
    }
    rusage usage{};
    pid_t done;
    do {
        done = wait4(child.pid, &child.waitStatus, block ? 0 : WNOHANG, &usage);
    } while (done < 0 && errno == EINTR);
    if (done == child.pid) {
        child.reaped = true;
        child.peakKibibytes = usage.ru_maxrss;
        child.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
        Unregister(child.pid);
    }
    return child.reaped;
}

int ErrorTarget(const ChildSetup& setup, int errorPipe[2], std::string& error) {
    if (setup.error == ErrorStream::Pipe) {
        return errorPipe[1];
    }
    const char* path = setup.error == ErrorStream::File ? setup.errorFile.c_str() : "/dev/null";
    int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = "cannot open its log " + std::string(path) + ": " + std::strerror(errno);
    }
    return fd;
}

using Clock = std::chrono::steady_clock;

Clock::time_point DeadlineAfter(double seconds) {
    return Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}

long long MillisecondsLeft(Clock::time_point deadline) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
}

// What poll takes: none of a deadline that has passed, at most INT_MAX of a far one.
int PollMilliseconds(long long left) {
    return static_cast<int>(std::clamp<long long>(left, 0, INT_MAX));
}

}  // namespace

bool StartChild(const std::string& program, const ChildSetup& setup, ChildProcess& child,
                std::string& error) {
    // A write to a child that has just died must come back as an error, not end this process.
    signal(SIGPIPE, SIG_IGN);
    child = ChildProcess();
    int input[2] = {-1, -1}, output[2] = {-1, -1}, errors[2] = {-1, -1}, report[2] = {-1, -1};
    if (setup.error == ErrorStream::Pipe && pipe2(errors, O_CLOEXEC) != 0) {
        error = std::string("cannot make pipes: ") + std::strerror(errno);
        return false;
    }
    int errorFd = ErrorTarget(setup, errors, error);
    if (errorFd < 0) {
        CloseFd(errors[0]);
        return false;
    }
    if (pipe2(input, O_CLOEXEC) != 0 || pipe2(output, O_CLOEXEC) != 0 || pipe2(report, O_CLOEXEC) != 0) {
        error = std::string("cannot make pipes: ") + std::strerror(errno);
        for (int* fd : {&input[0], &input[1], &output[0], &output[1], &errors[0], &errorFd}) {
            CloseFd(*fd);
        }
        return false;
    }
    std::vector<std::string> arguments = {program};
    arguments.insert(arguments.end(), setup.arguments.begin(), setup.arguments.end());
    std::vector<std::string> environment = ChildEnvironment(setup.environment);
    std::vector<char*> argv = Pointers(arguments);
    std::vector<char*> envp = Pointers(environment);
    pid_t pid = fork();
    if (pid == 0) {
        ExecChild(argv.data(), envp.data(), input[0], output[1], errorFd, report[1]);
    }
    close(input[0]);
    close(output[1]);
    close(report[1]);
    close(errorFd);
    child.pid = pid;
    // Writes wait in WriteToChild, bounded by the caller's time, never in the system call.
    fcntl(input[1], F_SETFL, fcntl(input[1], F_GETFL) | O_NONBLOCK);
    child.input = input[1];
    child.output = output[0];
    child.error = errors[0];
    if (pid < 0) {
        error = std::string("cannot fork: ") + std::strerror(errno);
        CloseFd(child.input);
        CloseFd(child.output);
        CloseFd(child.error);
        close(report[0]);
        return false;
    }
    Register(pid);
    // The report pipe closes on a successful exec and carries errno on a failed one.
    int code = 0;
    ssize_t got;
    do {
        got = read(report[0], &code, sizeof(code));
    } while (got < 0 && errno == EINTR);
    close(report[0]);
    if (got == static_cast<ssize_t>(sizeof(code))) {
        error = std::string("cannot execute it: ") + std::strerror(code);
        StopChild(child, 0.5);
        return false;
    }
    return true;
}

WriteStatus WriteToChild(ChildProcess& child, const std::string& bytes, double seconds) {
    if (child.input < 0) {
        return WriteStatus::Closed;
    }
    const Clock::time_point deadline = DeadlineAfter(seconds < 0.0 ? 1e9 : seconds);
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t written = write(child.input, bytes.data() + done, bytes.size() - done);
        if (written > 0) {
            done += static_cast<std::size_t>(written);
            continue;
        }
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) {
            return WriteStatus::Closed;
        }
        // Its input pipe is full: wait until it reads, or its time is up.
        const long long left = MillisecondsLeft(deadline);
        if (left <= 0) {
            return WriteStatus::TimedOut;
        }
        pollfd watch = {child.input, POLLOUT, 0};
        if (poll(&watch, 1, PollMilliseconds(left)) < 0 && errno != EINTR) {
            return WriteStatus::Closed;
        }
    }
    return WriteStatus::Written;
}

void CloseChildInput(ChildProcess& child) {
    CloseFd(child.input);
}

ReadStatus ReadChildOutput(ChildProcess& child, double seconds, std::string& bytes) {
    const Clock::time_point deadline = DeadlineAfter(seconds);
    for (;;) {
        const long long left = MillisecondsLeft(deadline);
        pollfd watch = {child.output, POLLIN, 0};
        int ready = poll(&watch, 1, PollMilliseconds(left));
        if (ready < 0 && errno != EINTR) {
            return ReadStatus::Closed;
        }
        if (ready == 0 && left <= 0) {
            return ReadStatus::TimedOut;
        }
        if (ready <= 0) {
            continue;
        }
        char buffer[65536];
        ssize_t count = read(child.output, buffer, sizeof(buffer));
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return ReadStatus::Closed;
        }
        bytes.assign(buffer, static_cast<std::size_t>(count));
        return ReadStatus::Data;
    }
}

bool CollectChildOutput(ChildProcess& child, double seconds, std::string& output, std::string& error) {
    const Clock::time_point deadline = DeadlineAfter(seconds);
    pollfd fds[2] = {{child.output, POLLIN, 0}, {child.error, POLLIN, 0}};
    std::string* sinks[2] = {&output, &error};
    int open = (child.output >= 0) + (child.error >= 0);
    while (open > 0) {
        const long long left = MillisecondsLeft(deadline);
        if (left <= 0) {
            return false;
        }
        if (poll(fds, 2, PollMilliseconds(left)) <= 0) {
            continue;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd >= 0 && (fds[i].revents & (POLLIN | POLLHUP | POLLERR))) {
                char buffer[65536];
                ssize_t count = read(fds[i].fd, buffer, sizeof(buffer));
                if (count > 0) {
                    sinks[i]->append(buffer, static_cast<std::size_t>(count));
                } else if (!(count < 0 && errno == EINTR)) {
                    fds[i].fd = -1;
                    --open;
                }
            }
        }
    }
    return true;
}

bool WaitForChild(ChildProcess& child, double seconds) {
    if (seconds < 0.0) {
        return Reap(child, true);
    }
    const Clock::time_point deadline = DeadlineAfter(seconds);
    while (!Reap(child, false) && Clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return child.reaped;
}

void KillChild(const ChildProcess& child) {
    if (!child.reaped && child.pid > 0) {
        kill(child.pid, SIGKILL);
    }
}

void StopChild(ChildProcess& child, double graceSeconds) {
    CloseChildInput(child);
    if (!WaitForChild(child, graceSeconds)) {
        KillChild(child);
        WaitForChild(child, -1.0);
    }
    CloseFd(child.output);
    CloseFd(child.error);
}

std::string DescribeExit(const ChildProcess& child) {
    if (WIFSIGNALED(child.waitStatus)) {
        return "was killed by signal " + std::to_string(WTERMSIG(child.waitStatus)) + " (" +
               strsignal(WTERMSIG(child.waitStatus)) + ")";
    }
    return "exited with code " + std::to_string(WEXITSTATUS(child.waitStatus));
}

bool ExitedNormally(const ChildProcess& child, int& exitCode) {
    exitCode = child.reaped && WIFEXITED(child.waitStatus) ? WEXITSTATUS(child.waitStatus) : -1;
    return child.reaped && WIFEXITED(child.waitStatus);
}

void KillAllChildren() {
    for (std::atomic<pid_t>& slot : liveChildren) {
        pid_t pid = slot.load();
        if (pid > 0) {
            kill(pid, SIGKILL);
        }
    }
}

}  // namespace platform
