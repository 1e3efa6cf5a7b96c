#pragma once

#include <string>
#include <vector>

// Programs started as child processes with pipes to their standard input and output. Nothing here
// throws; failures come back as values. A child is used from one thread at a time, except that
// KillChild may be called from another.
namespace platform {

struct ChildProcess {
    int pid = -1;
    int input = -1;   // write end of its standard input
    int output = -1;  // read end of its standard output
    int error = -1;   // read end of its standard error, when piped
    bool reaped = false;
    int waitStatus = 0;
    long peakKibibytes = 0;   // its peak resident memory, known once it is reaped
    double cpuSeconds = 0.0;  // the processor time it used, user and system, known once it is reaped
};

enum class ErrorStream { Discard, File, Pipe };

struct ChildSetup {
    std::vector<std::string> arguments;    // after the program's name
    std::vector<std::string> environment;  // NAME=value entries that add to or replace ours
    ErrorStream error = ErrorStream::Discard;
    std::string errorFile;  // ErrorStream::File: created or truncated
};

// Starts `program`. False, with the reason in `error`, when it cannot be started (the error file cannot
// be opened, no pipe or process is to be had, or the program cannot be executed). From then on a write
// to a child that has died fails instead of ending this process.
[[nodiscard]] bool StartChild(const std::string& program, const ChildSetup& setup, ChildProcess& child,
                              std::string& error);

enum class WriteStatus { Written, TimedOut, Closed };

// Writes all the bytes to its standard input, waiting at most `seconds` (for ever when negative) for a
// child that reads slowly or not at all. Closed: it no longer reads it.
[[nodiscard]] WriteStatus WriteToChild(ChildProcess& child, const std::string& bytes, double seconds);

void CloseChildInput(ChildProcess& child);

enum class ReadStatus { Data, TimedOut, Closed };

// One read of its standard output, waiting at most `seconds` (0: only what is there already): what one
// write of the child delivered, or as much of it as fits in 64 KiB. Closed: it closed its output, or ended.
ReadStatus ReadChildOutput(ChildProcess& child, double seconds, std::string& bytes);

// Everything it writes on its standard output and its piped standard error until it closes both.
// False when `seconds` passed first.
bool CollectChildOutput(ChildProcess& child, double seconds, std::string& output, std::string& error);

// Reaps it once it has ended, waiting up to `seconds` (for ever when negative). True once reaped.
bool WaitForChild(ChildProcess& child, double seconds);

// Kills it without waiting for it.
void KillChild(const ChildProcess& child);

// Closes its input, gives it `graceSeconds` to leave by itself, kills it otherwise; always reaps it and
// closes every pipe.
void StopChild(ChildProcess& child, double graceSeconds);

// How a reaped child ended: "exited with code 3" or "was killed by signal 11 (Segmentation fault)".
std::string DescribeExit(const ChildProcess& child);
bool ExitedNormally(const ChildProcess& child, int& exitCode);

// Kills every child started here that has not been reaped; safe inside a signal handler.
void KillAllChildren();

}  // namespace platform
