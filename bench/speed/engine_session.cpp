#include "bench/speed/engine_session.h"

#include "platform/child_process.h"

#include <chrono>

namespace bench {

namespace {

using Clock = std::chrono::steady_clock;

bool Send(platform::ChildProcess& engine, const std::string& text) {
    return platform::WriteToChild(engine, text, -1.0) == platform::WriteStatus::Written;
}

// Replies carry no line end: read until the expected word has arrived.
bool AwaitReply(platform::ChildProcess& engine, const char* word) {
    std::string received;
    while (received.find(word) == std::string::npos) {
        std::string bytes;
        if (platform::ReadChildOutput(engine, 3600.0, bytes) != platform::ReadStatus::Data) {
            return false;
        }
        received += bytes;
    }
    return true;
}

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace

EngineSession RunEngineSession(const std::string& enginePath, const std::vector<std::string>& commandBlocks) {
    EngineSession session;
    platform::ChildProcess engine;
    std::string error;
    if (!platform::StartChild(enginePath, platform::ChildSetup{}, engine, error)) {
        return session;
    }
    Clock::time_point start = Clock::now();
    bool ok = Send(engine, "ISREADY\n") && AwaitReply(engine, "READYOK");
    session.readyMilliseconds = MillisecondsSince(start);
    for (const std::string& block : commandBlocks) {
        if (!ok) {
            break;
        }
        ok = Send(engine, block);
        start = Clock::now();
        ok = ok && Send(engine, "GO\n") && AwaitReply(engine, "BESTSHOT");
        session.goMilliseconds.push_back(MillisecondsSince(start));
    }
    platform::StopChild(engine, -1.0);
    int exitCode = -1;
    session.completed = ok && platform::ExitedNormally(engine, exitCode) && exitCode == 0;
    session.peakKibibytes = engine.peakKibibytes;
    return session;
}

}  // namespace bench
