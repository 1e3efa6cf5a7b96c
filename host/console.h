#pragma once

#include "host/game_log.h"

#include <map>
#include <mutex>
#include <string>

// What the terminal shows: a live progress line while games run (on standard error) and, after each
// game, its line score (on standard output). Safe to call from the threads of parallel games.
namespace host {

// Ends across, teams down, totals; "*" marks the team with the first hammer, "-" an end not played.
// Followed by the outcome in words.
std::string LineScore(const GameLog& log);

// One game's part of the progress line: end, shot, score, time of the last shot.
std::string ProgressText(const GameLog& log);

// Wins, losses, draws and points of each engine over a match (engine 1 red unless the match is paired).
std::string MatchSummary(const MatchTally& tally, const std::string engines[2], int games);

struct Console {
    std::mutex mutex;
    bool live = false;                   // standard error is a terminal: redraw one line in place
    std::map<int, std::string> running;  // progress text by game number
    std::string match;                   // the match so far, after each game
};

void ShowMatchStatus(Console& console, const std::string& status);

void ShowProgress(Console& console, const GameLog& log);
void ShowResult(Console& console, const GameLog& log);

}  // namespace host
