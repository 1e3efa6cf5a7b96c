#include "tests/support/engine_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

namespace testsupport {

namespace {

void WriteAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t written = write(fd, bytes.data() + done, bytes.size() - done);
        if (written <= 0) {
            return;
        }
        done += static_cast<std::size_t>(written);
    }
}

}  // namespace

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& inputChunks,
                         const std::vector<std::string>& environment, double timeoutSeconds,
                         const std::vector<std::string>& arguments) {
    ProcessResult result;
    int input[2], output[2], error[2];
    if (pipe(input) != 0 || pipe(output) != 0 || pipe(error) != 0) {
        return result;
    }
    pid_t child = fork();
    if (child == 0) {
        dup2(input[0], 0);
        dup2(output[1], 1);
        dup2(error[1], 2);
        for (int fd : {input[0], input[1], output[0], output[1], error[0], error[1]}) {
            close(fd);
        }
        for (const std::string& entry : environment) {
            putenv(const_cast<char*>(entry.c_str()));
        }
        std::vector<char*> argv = {const_cast<char*>(program.c_str())};
        for (const std::string& argument : arguments) {
            argv.push_back(const_cast<char*>(argument.c_str()));
        }
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(input[0]);
    close(output[1]);
    close(error[1]);
    signal(SIGPIPE, SIG_IGN);

    // The reader runs beside the writer so that a chatty program never blocks on a full pipe.
    std::thread reader([&] {
        pollfd fds[2] = {{output[0], POLLIN, 0}, {error[0], POLLIN, 0}};
        std::string* sinks[2] = {&result.standardOutput, &result.standardError};
        int open = 2;
        auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeoutSeconds);
        while (open > 0) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) {
                kill(child, SIGKILL);
                break;
            }
            if (poll(fds, 2, static_cast<int>(left.count())) <= 0) {
                continue;
            }
            for (int i = 0; i < 2; ++i) {
                if (fds[i].fd >= 0 && (fds[i].revents & (POLLIN | POLLHUP | POLLERR))) {
                    char buffer[65536];
                    ssize_t count = read(fds[i].fd, buffer, sizeof(buffer));
                    if (count > 0) {
                        sinks[i]->append(buffer, static_cast<std::size_t>(count));
                    } else {
                        fds[i].fd = -1;
                        --open;
                    }
                }
            }
        }
    });
    for (std::size_t i = 0; i < inputChunks.size(); ++i) {
        if (i > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        WriteAll(input[1], inputChunks[i]);
    }
    close(input[1]);
    reader.join();
    int status = 0;
    waitpid(child, &status, 0);
    close(output[0]);
    close(error[0]);
    result.finished = WIFEXITED(status);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string MakeTemporaryDirectory() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr ? base : "/tmp") + "/curling-test-XXXXXX";
    std::string path = pattern;
    return mkdtemp(path.data()) != nullptr ? path : std::string();
}

bool CopyFile(const std::string& from, const std::string& to) {
    std::ifstream source(from, std::ios::binary);
    std::ofstream target(to, std::ios::binary | std::ios::trunc);
    if (!source || !target) {
        return false;
    }
    target << source.rdbuf();
    target.close();
    struct stat info;
    return target.good() && stat(from.c_str(), &info) == 0 && chmod(to.c_str(), info.st_mode) == 0;
}

}  // namespace testsupport
