#pragma once

#include "host/match_rules.h"
#include "records/game_state.h"

#include <array>
#include <cstddef>
#include <string>
#include <vector>

// What happened in one game, kept in memory for the replay page and the terminal, and written shot
// by shot to the record.
namespace host {

struct GameSetup {
    int game = 1;                 // 1-based number within the match
    std::string engines[2];       // paths, team 0 first
    int ends = 8;                 // regular ends
    int firstHammer = 1;          // team holding the last stone of the first end
    int pair = 0;                 // in a paired match: the pair, whose two games share their noise
    int engine1Team = 0;          // the team the match's first engine plays
    unsigned long long seed = 1;  // with the game (the pair when paired) and the shot, fixes the noise
    double noiseScale = 1.0;      // multiplies the standard deviations; 0 plays shots as sent
    double shotTimeout = 120.0;   // seconds, for every GO and for the ready check
    double graceSeconds = 10.0;   // after a GO's time ran out, to answer it late before a restart
    std::size_t logLimitBytes = std::size_t{8} << 20;  // each engine's log keeps its last this many
    std::string folder;                                // where the record, the logs and the replay page go
};

// Where every stone was at every PathInterval of simulated time of one shot, from the delivery until
// every stone rests; (0, 0) for a stone not on the sheet.
constexpr double PathInterval = 0.1;  // seconds
using StoneFrame = std::array<records::StonePosition, records::StoneCount>;
struct ShotPath {
    std::vector<StoneFrame> frames;
};

// The match's number (1 or 2) of the engine that plays `team` in this game.
inline int EngineNumber(const GameSetup& setup, int team) {
    return team == setup.engine1Team ? 1 : 2;
}

struct ShotEntry {
    int end = 0;
    int shot = 0;  // 0..15 within the end; also the index of the delivered stone
    int team = 0;
    bool delivered = false;      // false: the stone was thrown away because of the reply
    records::ShotVector sent{};  // meaningful when delivered
    records::ShotVector played{};
    records::StonePosition aimed{};  // lone-stone resting point of the sent shot
    records::StonePosition moved{};  // the same after noise
    std::string fault;               // why the stone was thrown away
    std::string reply;               // the reply, printable, when it was at fault
    std::string dropped;             // printable: what the engine sent unasked before this GO
    bool restarted = false;          // the engine did not answer even late, and was restarted
    records::StonePosition
        stones[records::StoneCount]{};  // after the shot, every stone not in play at (0, 0)
    double seconds = 0.0;               // from GO to the reply or the time-out
    ShotPath path;                      // empty when nothing was delivered
};

struct EndEntry {
    int end = 0;
    int hammer = 0;
    int points[2] = {0, 0};
    int totals[2] = {0, 0};
    int nextHammer = 0;  // the team that holds the last stone of the next end
};

struct GameLog {
    GameSetup setup;
    std::vector<ShotEntry> shots;
    std::vector<EndEntry> ends;
    GameOutcome outcome;
    bool finished = false;
    std::string forfeitMessage;       // names the engine and what it did
    bool logCut[2] = {false, false};  // an engine's log kept only its last logLimitBytes
};

}  // namespace host
