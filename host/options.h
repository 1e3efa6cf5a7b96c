#pragma once

#include "host/match_stats.h"

#include <cstddef>
#include <string>
#include <vector>

namespace host {

struct MatchOptions {
    std::string engines[2];  // team 0 plays with the first
    int ends = 8;
    int games = 1;
    int jobs = 1;  // games played at the same time
    unsigned long long seed = 1;
    double noise = 1.0;          // multiplies the standard deviations of the execution noise
    double shotTimeout = 120.0;  // seconds
    double graceSeconds = 10.0;
    std::size_t logLimitBytes = std::size_t{8} << 20;
    std::string out;      // empty: a new folder under matches/
    bool paired = false;  // games in pairs that share their noise, engines and hammer swapped
    SprtSettings sprt;
    int firstGame = 1;  // --game-range: play only the games firstGame..endGame-1 of the match
    int endGame = 0;    // 0: to the last game
};

// curling-match merge DIR... [--out DIR]
struct MergeOptions {
    std::vector<std::string> folders;  // the shards
    std::string out;                   // empty: the summary is only printed
};

enum class HostCommand { Play, Merge, Help };

struct CommandLine {
    HostCommand command = HostCommand::Play;
    MatchOptions match;
    MergeOptions merge;
    std::string help;  // for Help: the text of the command asked about
};

// Reads the command line (without the program name). `defaultEngine` stands in for each --engine not
// given. False with a one-line reason in `error` for an unknown flag, a missing or bad value, match
// flags given to merge, or an engine file that is missing or not executable.
[[nodiscard]] bool ParseCommandLine(const std::vector<std::string>& arguments,
                                    const std::string& defaultEngine, CommandLine& line, std::string& error);

}  // namespace host
