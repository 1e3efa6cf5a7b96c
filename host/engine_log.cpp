#include "host/engine_log.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>

namespace host {

struct EngineLog::State {
    std::mutex mutex;
    std::condition_variable ended;
    std::string path;
    std::FILE* file = nullptr;
    std::size_t size = 0;
    std::size_t limit = 0;
    bool cut = false;
    bool followedEnded = true;
    std::atomic<bool> stopping{false};
    std::thread reader;

    // Appends under the lock; past the limit, only the last `limit` bytes from a line start are kept.
    void Append(const char* bytes, std::size_t count) {
        std::fwrite(bytes, 1, count, file);
        std::fflush(file);
        size += count;
        if (size > limit + std::max<std::size_t>(limit / 4, 4096)) {
            Keep(limit);
        }
    }

    void Keep(std::size_t bytes) {
        std::string tail(std::min(bytes, size), '\0');
        std::fseek(file, static_cast<long>(size - tail.size()), SEEK_SET);
        tail.resize(std::fread(tail.data(), 1, tail.size(), file));
        const std::size_t lineStart = tail.find('\n');
        tail.erase(0, lineStart == std::string::npos ? 0 : lineStart + 1);
        std::FILE* fresh = std::freopen(path.c_str(), "w+b", file);
        file = fresh;
        if (file != nullptr) {
            std::fwrite(tail.data(), 1, tail.size(), file);
            std::fflush(file);
        }
        size = tail.size();
        cut = true;
    }

    void Copy(int fd) {
        char buffer[65536];
        for (;;) {
            pollfd watch = {fd, POLLIN, 0};
            const int ready = poll(&watch, 1, 100);
            if (ready < 0 && errno == EINTR) {
                continue;
            }
            if (ready == 0 && stopping.load()) {
                break;  // the engine has ended and nothing more came: someone else holds the pipe
            }
            if (ready == 0) {
                continue;
            }
            const ssize_t got = read(fd, buffer, sizeof(buffer));
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got <= 0) {
                break;
            }
            std::lock_guard<std::mutex> lock(mutex);
            if (file != nullptr) {
                Append(buffer, static_cast<std::size_t>(got));
            }
        }
        close(fd);
        std::lock_guard<std::mutex> lock(mutex);
        followedEnded = true;
        ended.notify_all();
    }
};

EngineLog::EngineLog() : state_(std::make_unique<State>()) {}

EngineLog::~EngineLog() {
    if (state_) {
        Stop();
        if (state_->file != nullptr) {
            std::fclose(state_->file);
        }
    }
}

EngineLog::EngineLog(EngineLog&&) noexcept = default;
EngineLog& EngineLog::operator=(EngineLog&&) noexcept = default;

bool EngineLog::Open(const std::string& path, std::size_t limitBytes, std::string& error) {
    state_->path = path;
    state_->limit = limitBytes;
    state_->file = std::fopen(path.c_str(), "w+b");
    if (state_->file == nullptr) {
        error = "cannot open its log " + path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

void EngineLog::Follow(int fd) {
    Stop();
    State& state = *state_;
    state.stopping = false;
    state.followedEnded = false;
    state.reader = std::thread([&state, fd] { state.Copy(fd); });
}

void EngineLog::AwaitEnd(double seconds) {
    std::unique_lock<std::mutex> lock(state_->mutex);
    state_->ended.wait_for(lock, std::chrono::duration<double>(seconds),
                           [this] { return state_->followedEnded; });
}

void EngineLog::Stop() {
    state_->stopping = true;
    if (state_->reader.joinable()) {
        state_->reader.join();
    }
}

void EngineLog::Note(const std::string& line) {
    std::lock_guard<std::mutex> lock(state_->mutex);
    if (state_->file != nullptr) {
        const std::string text = line + "\n";
        state_->Append(text.data(), text.size());
    }
}

std::string EngineLog::LastLine() {
    std::lock_guard<std::mutex> lock(state_->mutex);
    if (state_->file == nullptr) {
        return "";
    }
    std::string tail(std::min<std::size_t>(state_->size, 4096), '\0');
    std::fseek(state_->file, static_cast<long>(state_->size - tail.size()), SEEK_SET);
    tail.resize(std::fread(tail.data(), 1, tail.size(), state_->file));
    std::fseek(state_->file, 0, SEEK_END);
    const std::size_t end = tail.find_last_not_of(" \t\r\n");
    if (end == std::string::npos) {
        return "";
    }
    const std::size_t newline = tail.rfind('\n', end);
    const std::size_t start = newline == std::string::npos ? 0 : newline + 1;
    return tail.substr(start, end + 1 - start);
}

bool EngineLog::WasCut() {
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->cut;
}

}  // namespace host
