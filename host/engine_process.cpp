#include "host/engine_process.h"

#include "host/protocol.h"

namespace host {

namespace {

double SecondsUntil(Deadline deadline) {
    return std::chrono::duration<double>(deadline - std::chrono::steady_clock::now()).count();
}

bool StartsAReply(const std::string& bytes, std::size_t at) {
    return bytes.compare(at, 8, "BESTSHOT") == 0 || bytes.compare(at, 7, "READYOK") == 0;
}

// The length of the first reply in `received`, or 0 while it is still arriving.
std::size_t FirstReplyLength(const std::string& received) {
    for (std::size_t at = 1; at < received.size(); ++at) {
        if (StartsAReply(received, at)) {
            return at;
        }
    }
    return ReplyComplete(received) ? received.size() : 0;
}

}  // namespace

Deadline SecondsFromNow(double seconds) {
    return std::chrono::steady_clock::now() + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                                  std::chrono::duration<double>(seconds));
}

bool StartEngine(const std::string& path, EngineProcess& engine, std::string& error) {
    engine.child = platform::ChildProcess();
    engine.received.clear();
    platform::ChildSetup setup;
    setup.error = platform::ErrorStream::Pipe;
    if (!platform::StartChild(path, setup, engine.child, error)) {
        return false;
    }
    engine.log.Follow(engine.child.error);
    engine.child.error = -1;  // the log's now
    return true;
}

platform::WriteStatus SendCommand(EngineProcess& engine, const std::string& command, Deadline deadline) {
    const double seconds = SecondsUntil(deadline);
    return platform::WriteToChild(engine.child, command, seconds > 0.0 ? seconds : 0.0);
}

ReplyStatus AwaitReply(EngineProcess& engine, Deadline deadline, std::string& reply) {
    for (;;) {
        const std::size_t length = FirstReplyLength(engine.received);
        if (length > 0) {
            reply = engine.received.substr(0, length);
            engine.received.erase(0, length);
            return ReplyStatus::Received;
        }
        const double seconds = SecondsUntil(deadline);
        std::string bytes;
        const platform::ReadStatus status =
            platform::ReadChildOutput(engine.child, seconds > 0.0 ? seconds : 0.0, bytes);
        if (status == platform::ReadStatus::TimedOut) {
            return ReplyStatus::TimedOut;
        }
        if (status == platform::ReadStatus::Closed) {
            return ReplyStatus::Closed;
        }
        engine.received += bytes;
    }
}

std::string TakeUnasked(EngineProcess& engine) {
    std::string bytes;
    while (platform::ReadChildOutput(engine.child, 0.0, bytes) == platform::ReadStatus::Data) {
        engine.received += bytes;
    }
    std::string unasked;
    unasked.swap(engine.received);
    return unasked;
}

std::string DescribeEnd(EngineProcess& engine) {
    // An engine that has just closed its output is usually a moment away from its end.
    if (!platform::WaitForChild(engine.child, 0.2)) {
        return "closed its standard output";
    }
    return platform::DescribeExit(engine.child);
}

std::string LastLogLine(EngineProcess& engine) {
    engine.log.AwaitEnd(engine.child.reaped ? 1.0 : 0.1);
    return engine.log.LastLine();
}

void StopEngine(EngineProcess& engine) {
    platform::StopChild(engine.child, 0.5);
    engine.log.Stop();
}

}  // namespace host
