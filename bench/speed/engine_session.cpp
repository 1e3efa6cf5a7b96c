#include "bench/speed/engine_session.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>

extern char** environ;

namespace bench {

namespace {

using Clock = std::chrono::steady_clock;

bool WriteAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = write(fd, text.data() + done, text.size() - done);
        if (written <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

// Replies carry no line end: read until the expected word has arrived.
bool AwaitReply(int fd, const char* word) {
    std::string received;
    char buffer[4096];
    while (received.find(word) == std::string::npos) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got <= 0) {
            return false;
        }
        received.append(buffer, static_cast<std::size_t>(got));
    }
    return true;
}

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace

EngineSession RunEngineSession(const std::string& enginePath, const std::vector<std::string>& commandBlocks) {
    EngineSession session;
    int toEngine[2];
    int fromEngine[2];
    if (pipe(toEngine) != 0 || pipe(fromEngine) != 0) {
        return session;
    }
    signal(SIGPIPE, SIG_IGN);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toEngine[0], 0);
    posix_spawn_file_actions_adddup2(&actions, fromEngine[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addclose(&actions, toEngine[1]);
    posix_spawn_file_actions_addclose(&actions, fromEngine[0]);
    char* argv[] = {const_cast<char*>(enginePath.c_str()), nullptr};
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, enginePath.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(toEngine[0]);
    close(fromEngine[1]);
    if (spawned != 0) {
        close(toEngine[1]);
        close(fromEngine[0]);
        return session;
    }

    bool ok = true;
    Clock::time_point start = Clock::now();
    ok = WriteAll(toEngine[1], "ISREADY\n") && AwaitReply(fromEngine[0], "READYOK");
    session.readyMilliseconds = MillisecondsSince(start);
    for (const std::string& block : commandBlocks) {
        if (!ok) {
            break;
        }
        ok = WriteAll(toEngine[1], block);
        start = Clock::now();
        ok = ok && WriteAll(toEngine[1], "GO\n") && AwaitReply(fromEngine[0], "BESTSHOT");
        session.goMilliseconds.push_back(MillisecondsSince(start));
    }
    close(toEngine[1]);
    close(fromEngine[0]);
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) == pid) {
        session.peakKibibytes = usage.ru_maxrss;
        session.completed = ok && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    return session;
}

}  // namespace bench
