#include "host/engine_process.h"

#include <chrono>
#include <vector>

namespace host {

namespace {

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
    engine = EngineProcess();
    platform::ChildSetup setup;
    setup.error = platform::ErrorStream::File;
    setup.errorFile = logPath;
    return platform::StartChild(path, setup, engine.child, error);
}

bool SendCommand(EngineProcess& engine, const std::string& command) {
    return platform::WriteToChild(engine.child, command);
}

ReplyStatus AwaitReply(EngineProcess& engine, double timeoutSeconds, std::string& reply) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                                          std::chrono::duration<double>(timeoutSeconds));
    for (;;) {
        const double left = std::chrono::duration<double>(deadline - Clock::now()).count();
        std::string bytes;
        const platform::ReadStatus status = platform::ReadChildOutput(engine.child, left, bytes);
        if (status == platform::ReadStatus::TimedOut) {
            ++engine.owedReplies;
            return ReplyStatus::TimedOut;
        }
        if (status == platform::ReadStatus::Closed) {
            return ReplyStatus::Closed;
        }
        std::vector<std::string> pieces = SplitReplies(bytes);
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
    if (!platform::WaitForChild(engine.child, 0.2)) {
        return "closed its standard output";
    }
    return platform::DescribeExit(engine.child);
}

void StopEngine(EngineProcess& engine) {
    platform::StopChild(engine.child, 0.5);
}

}  // namespace host
