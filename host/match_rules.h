#pragma once

#include <vector>

// The rules of a game between two teams. Team 0 plays with the first engine, team 1 with the second.
namespace host {

constexpr int StonesPerEnd = 16;
constexpr int MaxExtraEnds = 3;  // a game still tied after them is a draw

struct EndResult {
    int hammer = 0;          // the team that delivered the end's last stone
    int points[2] = {0, 0};  // at most one of them is non-zero
};

struct GameProgress {
    int regularEnds = 8;
    int hammer = 1;  // the team that holds the last stone of the next end
    int totals[2] = {0, 0};
    std::vector<EndResult> ends;
};

// The team that delivers shot `shot` (0..15) of an end: the hammer team throws the odd-numbered stones,
// matching the engine's parity convention for stone indices.
int TeamForShot(int hammer, int shot);

// Adds an end whose house score is `houseScore` as the engine's scoring tells it: positive when the
// even-numbered stones (the team without the hammer) score. The scoring team gives up the hammer;
// a blank end leaves it where it was.
void RecordEnd(GameProgress& game, int houseScore);

// True once the regular ends are played and the totals differ, or once the extra ends are used up.
bool GameOver(const GameProgress& game);

// The team ahead on points, or -1 when level.
int Leader(const GameProgress& game);

// How a game ended for the tally of a match.
struct GameOutcome {
    int winner = -1;  // -1: a draw, or a game that both teams forfeited
    bool forfeited[2] = {false, false};
    int totals[2] = {0, 0};
};

struct MatchTally {
    int wins[2] = {0, 0};
    int losses[2] = {0, 0};
    int draws[2] = {0, 0};
    int points[2] = {0, 0};
};

// Counts one game for the engines, the first of which played team `engine1Team`. A game both teams
// forfeited is a loss for each, not a draw.
void AddGame(MatchTally& tally, const GameOutcome& outcome, int engine1Team = 0);

}  // namespace host
