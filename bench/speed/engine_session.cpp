#include "bench/speed/engine_session.h"

#include "platform/child_process.h"

#include <chrono>

namespace bench {

namespace {

using Clock = std::chrono::steady_clock;

bool Send(platform::ChildProcess& engine, const std::string& text) {
    return platform::WriteToChild(engine, text, -1.0) == platform::WriteStatus::Written;
}

// Replies carry no line end: read until the expected word has arrived. Keeps every byte in `replies`.
bool AwaitReply(platform::ChildProcess& engine, const char* word, std::string& replies) {
    const std::size_t start = replies.size();
    while (replies.find(word, start) == std::string::npos) {
        std::string bytes;
        if (platform::ReadChildOutput(engine, 3600.0, bytes) != platform::ReadStatus::Data) {
            return false;
        }
        replies += bytes;
    }
    return true;
}

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace

EngineSession RunEngineSession(const std::string& enginePath, const std::vector<std::string>& commandBlocks,
                               const std::string& errorFile) {
    EngineSession session;
    platform::ChildProcess engine;
    platform::ChildSetup setup;
    if (!errorFile.empty()) {
        setup.error = platform::ErrorStream::File;
        setup.errorFile = errorFile;
    }
    std::string error;
    if (!platform::StartChild(enginePath, setup, engine, error)) {
        return session;
    }
    Clock::time_point start = Clock::now();
    bool ok = Send(engine, "ISREADY\n") && AwaitReply(engine, "READYOK", session.replies);
    session.readyMilliseconds = MillisecondsSince(start);
    for (const std::string& block : commandBlocks) {
        if (!ok) {
            break;
        }
        ok = Send(engine, block);
        start = Clock::now();
        ok = ok && Send(engine, "GO\n") && AwaitReply(engine, "BESTSHOT", session.replies);
        session.goMilliseconds.push_back(MillisecondsSince(start));
    }
    platform::StopChild(engine, -1.0);
    int exitCode = -1;
    session.completed = ok && platform::ExitedNormally(engine, exitCode) && exitCode == 0;
    session.peakKibibytes = engine.peakKibibytes;
    session.cpuSeconds = engine.cpuSeconds;
    return session;
}

}  // namespace bench
