#include "host/engine_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

namespace host {

namespace {

// Engines alive right now, for KillAllEngines; plain atomics so that a signal handler may read them.
constexpr int MaxLiveEngines = 256;
std::atomic<pid_t> liveEngines[MaxLiveEngines];

void Register(pid_t pid) {
    for (std::atomic<pid_t>& slot : liveEngines) {
        pid_t empty = 0;
        if (slot.compare_exchange_strong(empty, pid)) {
            return;
        }
    }
}

void Unregister(pid_t pid) {
    for (std::atomic<pid_t>& slot : liveEngines) {
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

[[noreturn]] void ExecEngine(const std::string& path, int input, int output, int logFd, int errorReport) {
    dup2(input, STDIN_FILENO);
    dup2(output, STDOUT_FILENO);
    dup2(logFd, STDERR_FILENO);
    signal(SIGPIPE, SIG_DFL);
    execl(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
    int code = errno;
    ssize_t ignored = write(errorReport, &code, sizeof(code));
    (void)ignored;
    _exit(127);
}

bool Reap(EngineProcess& engine, bool block) {
    if (engine.reaped || engine.pid <= 0) {
        return engine.reaped;
    }
    pid_t done;
    do {
        done = waitpid(engine.pid, &engine.waitStatus, block ? 0 : WNOHANG);
    } while (done < 0 && errno == EINTR);
    if (done == engine.pid) {
        engine.reaped = true;
        Unregister(engine.pid);
    }
    return engine.reaped;
}

bool StartsAReply(const std::string& bytes, std::size_t at) {
    return bytes.compare(at, 8, "BESTSHOT") == 0 || bytes.compare(at, 7, "READYOK") == 0;
}

// Several replies can arrive in one read when a late one meets the current one. They carry no line
// end, so each reply word starts a new piece.
std::vector<std::string> SplitReplies(const std::string& bytes) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (std::size_t at = 1; at < bytes.size(); ++at) {
        if (StartsAReply(bytes, at)) {
            pieces.push_back(bytes.substr(start, at - start));
            start = at;
        }
    }
    pieces.push_back(bytes.substr(start));
    return pieces;
}

}  // namespace

bool StartEngine(const std::string& path, const std::string& logPath, EngineProcess& engine,
                 std::string& error) {
    // A write to an engine that has just died must come back as an error, not end the host.
    signal(SIGPIPE, SIG_IGN);
    int logFd = open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (logFd < 0) {
        error = "cannot open its log " + logPath + ": " + std::strerror(errno);
        return false;
    }
    int input[2], output[2], report[2];
    if (pipe2(input, O_CLOEXEC) != 0 || pipe2(output, O_CLOEXEC) != 0 || pipe2(report, O_CLOEXEC) != 0) {
        error = std::string("cannot make pipes: ") + std::strerror(errno);
        close(logFd);
        return false;
    }
    pid_t child = fork();
    if (child == 0) {
        ExecEngine(path, input[0], output[1], logFd, report[1]);
    }
    close(input[0]);
    close(output[1]);
    close(report[1]);
    close(logFd);
    engine = EngineProcess();
    engine.pid = child;
    engine.toEngine = input[1];
    engine.fromEngine = output[0];
    if (child < 0) {
        error = std::string("cannot fork: ") + std::strerror(errno);
        CloseFd(engine.toEngine);
        CloseFd(engine.fromEngine);
        close(report[0]);
        return false;
    }
    Register(child);
    // The report pipe closes on a successful exec and carries errno on a failed one.
    int code = 0;
    ssize_t got;
    do {
        got = read(report[0], &code, sizeof(code));
    } while (got < 0 && errno == EINTR);
    close(report[0]);
    if (got == static_cast<ssize_t>(sizeof(code))) {
        error = std::string("cannot execute it: ") + std::strerror(code);
        StopEngine(engine);
        return false;
    }
    return true;
}

bool SendCommand(EngineProcess& engine, const std::string& command) {
    if (engine.toEngine < 0) {
        return false;
    }
    std::size_t done = 0;
    while (done < command.size()) {
        ssize_t written = write(engine.toEngine, command.data() + done, command.size() - done);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

ReplyStatus AwaitReply(EngineProcess& engine, double timeoutSeconds, std::string& reply) {
    using Clock = std::chrono::steady_clock;
    Clock::time_point deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                                    std::chrono::duration<double>(timeoutSeconds));
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            ++engine.owedReplies;
            return ReplyStatus::TimedOut;
        }
        pollfd watch = {engine.fromEngine, POLLIN, 0};
        int ready = poll(&watch, 1, static_cast<int>(left));
        if (ready < 0 && errno != EINTR) {
            return ReplyStatus::Closed;
        }
        if (ready <= 0) {
            continue;
        }
        char buffer[65536];
        ssize_t count = read(engine.fromEngine, buffer, sizeof(buffer));
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return ReplyStatus::Closed;
        }
        std::vector<std::string> pieces = SplitReplies(std::string(buffer, static_cast<std::size_t>(count)));
        std::size_t skipped = 0;
        while (skipped < pieces.size() && engine.owedReplies > 0) {
            ++skipped;
            --engine.owedReplies;
        }
        if (skipped < pieces.size()) {
            reply = pieces[skipped];
            return ReplyStatus::Received;
        }
    }
}

std::string DescribeEnd(EngineProcess& engine) {
    // An engine that has just closed its output is usually a moment away from its end.
    for (int i = 0; i < 20 && !Reap(engine, false); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!engine.reaped) {
        return "closed its standard output";
    }
    if (WIFSIGNALED(engine.waitStatus)) {
        return "was killed by signal " + std::to_string(WTERMSIG(engine.waitStatus)) + " (" +
               strsignal(WTERMSIG(engine.waitStatus)) + ")";
    }
    return "exited with code " + std::to_string(WEXITSTATUS(engine.waitStatus));
}

void StopEngine(EngineProcess& engine) {
    CloseFd(engine.toEngine);
    for (int i = 0; i < 50 && !Reap(engine, false); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!engine.reaped && engine.pid > 0) {
        kill(engine.pid, SIGKILL);
        Reap(engine, true);
    }
    CloseFd(engine.fromEngine);
}

void KillAllEngines() {
    for (std::atomic<pid_t>& slot : liveEngines) {
        pid_t pid = slot.load();
        if (pid > 0) {
            kill(pid, SIGKILL);
        }
    }
}

}  // namespace host
