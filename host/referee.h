#pragma once

#include "host/game_log.h"
#include "host/match_rules.h"
#include "host/sheet_model.h"
#include "records/game_state.h"

#include <cstdint>

// A game under the host's rules, played one stone at a time: who throws, the execution noise, the
// stones taken out of play, the score of each end, the hammer and the extra ends. It starts no process,
// writes no file and reads no clock, so whoever chooses the shots (engine processes, Python, a page)
// gets the same game from the same seed.
namespace host {

struct Referee {
    GameProgress progress;     // the ends scored, the totals, and the hammer of the end in play
    records::GameState end{};  // the end in play: its stones, and in shotNumber the next stone's index
    uint64_t seed = 1;
    int noiseGame = 1;        // the game, or the pair in a paired match: both games of a pair share noise
    double noiseScale = 1.0;  // multiplies the noise's standard deviations; 0 plays shots as sent
    bool keepPaths = true;    // each shot's stone paths; without them the shot is played on the fast path
};

// A game not yet begun, with the setup's regular ends, first hammer and noise.
Referee StartReferee(const GameSetup& setup);

// The entry of the next stone, with its end, shot number and team; nothing delivered yet.
ShotEntry NextStone(const Referee& referee);

// The ends the game now runs to: the regular ones, or up to the end in play once extra ends are played.
int EndsNow(const Referee& referee);

bool GameOver(const Referee& referee);

// Plays the next stone as `entry` says: its shot `sent` when `delivered`, or the stone thrown away (out
// of play) otherwise; the entry's end, shot and team are the referee's. The sent shot gets the noise of
// its place in the game, is played, and every stone out of play is taken off; the completed entry goes
// to log.shots. The last stone of an end scores it into log.ends and starts the next end.
// False, with nothing changed, once the game is over.
bool PlayStone(Referee& referee, const SheetModel& model, ShotEntry entry, GameLog& log);

// The totals so far and the team ahead on points as the winner (-1 when level); forfeits are the caller's.
GameOutcome Outcome(const Referee& referee);

// Every stone that no longer counts (short of the hog line, or off the sheet) is taken to (0, 0).
void RemoveStonesOutOfPlay(records::GameState& state, const SheetModel& model);

}  // namespace host
