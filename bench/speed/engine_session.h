#pragma once

#include <string>
#include <vector>

namespace bench {

struct EngineSession {
    bool completed = false;  // every reply arrived and the engine exited by itself
    double readyMilliseconds = 0.0;
    std::vector<double> goMilliseconds;  // one per command block, in order
    long peakKibibytes = 0;              // the engine process's peak resident memory
    double cpuSeconds = 0.0;             // the processor time it used, all threads, user and system
    std::string replies;                 // every byte of its standard output, in order
};

// Starts the engine as a host would, sends ISREADY, then each block of commands followed by GO, waiting
// for every reply, and closes its input. Its standard error goes to `errorFile`, or to /dev/null when
// that is empty.
EngineSession RunEngineSession(const std::string& enginePath, const std::vector<std::string>& commandBlocks,
                               const std::string& errorFile = std::string());

}  // namespace bench
