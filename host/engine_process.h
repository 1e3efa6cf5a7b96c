#pragma once

#include "platform/child_process.h"

#include <string>

// One engine as a child process: its standard input and output are pipes to the host, its standard
// error goes straight into a log file. Nothing here throws; failures come back as values.
namespace host {

struct EngineProcess {
    platform::ChildProcess child;
    int owedReplies = 0;  // replies to requests the host stopped waiting for; skipped when they arrive
};

// Starts `path` with no arguments. False, with the reason in `error`, when it cannot be started
// (the log cannot be opened, the fork fails, or the program cannot be executed).
[[nodiscard]] bool StartEngine(const std::string& path, const std::string& logPath, EngineProcess& engine,
                               std::string& error);

// Writes one command in one write. False when the engine no longer reads its input.
[[nodiscard]] bool SendCommand(EngineProcess& engine, const std::string& command);

enum class ReplyStatus { Received, TimedOut, Closed };

// Waits up to `timeoutSeconds` for the reply to the last request: the bytes of one write, since
// replies carry no line end. Late replies to earlier requests are recognised by their leading word
// and skipped. Closed: the engine closed its output or ended.
ReplyStatus AwaitReply(EngineProcess& engine, double timeoutSeconds, std::string& reply);

// "exited with code 3", "was killed by signal 11", or "closed its standard output" while it runs.
std::string DescribeEnd(EngineProcess& engine);

// Closes its input, gives it a moment to leave by itself, then kills it; always reaps it.
void StopEngine(EngineProcess& engine);

}  // namespace host
