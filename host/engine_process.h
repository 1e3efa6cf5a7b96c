#pragma once

#include "host/engine_log.h"
#include "platform/child_process.h"

#include <chrono>
#include <string>

// One engine as a child process: its standard input and output are pipes to the host, its standard
// error is copied into its log. Every write and every wait is bounded by a deadline, so an engine that
// stops reading or answering cannot hold the match up. Nothing here throws; failures come back as values.
namespace host {

using Deadline = std::chrono::steady_clock::time_point;

Deadline SecondsFromNow(double seconds);

struct EngineProcess {
    platform::ChildProcess child;
    EngineLog log;         // opened by the caller before the first start; kept across restarts
    std::string received;  // bytes read but not yet taken as a reply
};

// Starts `path` with no arguments, its standard error going to the open log. False, with the reason in
// `error`, when it cannot be started (the fork fails, or the program cannot be executed).
[[nodiscard]] bool StartEngine(const std::string& path, EngineProcess& engine, std::string& error);

// Writes one command. TimedOut: the engine left its input unread until the deadline.
[[nodiscard]] platform::WriteStatus SendCommand(EngineProcess& engine, const std::string& command,
                                                Deadline deadline);

enum class ReplyStatus { Received, TimedOut, Closed };

// Waits until the deadline for a reply. Replies carry no line end: a reply that arrives in pieces is put
// back together until it is whole, and each reply word starts a new reply, so a second reply stays
// received for later. Closed: the engine closed its output or ended.
ReplyStatus AwaitReply(EngineProcess& engine, Deadline deadline, std::string& reply);

// Everything the engine sent that no request has taken, the bytes still waiting in the pipe included.
std::string TakeUnasked(EngineProcess& engine);

// "exited with code 3", "was killed by signal 11", or "closed its standard output" while it runs.
std::string DescribeEnd(EngineProcess& engine);

// The last line the engine wrote on its standard error, once what it wrote before it ended is in.
std::string LastLogLine(EngineProcess& engine);

// Closes its input, gives it a moment to leave by itself, then kills it; always reaps it.
void StopEngine(EngineProcess& engine);

}  // namespace host
