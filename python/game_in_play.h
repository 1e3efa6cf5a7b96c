#pragma once

#include "host/game_log.h"
#include "host/referee.h"
#include "records/game_state.h"

#include <cstdint>
#include <vector>

// Games under the match host's rules for Python, with the host's own referee and the engine's sheet.
// Nothing here knows Python, so that the threads that play games hold no interpreter lock.
namespace python {

struct GameInPlay {
    host::GameSetup setup;  // what the record's game line tells: ends, first hammer, seed, noise
    host::Referee referee;
    host::GameLog log;  // every stone and every end so far
};

// A game of `ends` regular ends, the noise of game `game` of a match with `seed`, scaled by `noise`,
// and team `hammer` holding the last stone of the first end.
GameInPlay StartGame(int ends, uint64_t seed, double noise, int game, int hammer);

// The engine's own physics, house scoring and simulator library, as the match host referees with them.
const host::SheetModel& EngineSheet();

// Plays the game's next stone with the team's sent shot; `paths` keeps the stones' paths (the plain
// play of every step, slower). The game must not be over.
void PlayNext(GameInPlay& game, const records::ShotVector& sent, bool paths);

// PlayNext of sent[i] on *games[i] for every i, the games dealt out to `threads` threads. Each game is
// played on its own, so the games come out the same at any thread count. No two pointers may be equal.
void PlayNextOnThreads(const std::vector<GameInPlay*>& games, const std::vector<records::ShotVector>& sent,
                       int threads, bool paths);

}  // namespace python
