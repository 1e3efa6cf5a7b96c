#pragma once

#include "physics/detail/group_run.h"
#include "physics/detail/lone_run.h"
#include "physics/detail/play_outcome.h"
#include "physics/simulate_shot.h"
#include "records/game_state.h"

#include <memory>
#include <vector>

namespace physics {

struct PlacedSettling;
struct WorldMemory;

// What one thread reuses from shot to shot: the block its worlds are built in, one at a time, and the
// lone and group runs' records of broad-phase moves. Written at every step, so each keeps a cache line of its
// own rather than share one with another worker's.
struct alignas(64) FastPlayScratch {
    FastPlayScratch();
    ~FastPlayScratch();

    std::unique_ptr<WorldMemory> worldMemory;  // made on first use
    std::vector<ProxyMove> proxyMoves;
    std::vector<GroupEvent> groupEvents;
};

// Plays a shot to the same outcome, bit for bit, as a full world played step by step, taking exact
// shortcuts: a stone that moves alone, far from every other, is moved by the world's own float
// operations without the world, which takes over, brought to the state it would have had, only when
// the stone comes near another; and the play ends as soon as nothing can move any more.
// The record's shotNumber must lie in 0..15. False when a world did not match what a shortcut foresaw;
// the outcome is then unset and the shot must be played in full.
// `lone`, when given, is the shot's trace: a play it shows to need no world ends at once. `settled`, when
// given, is how the record's placed stones settle (SettlePlacedStones); one for another record is ignored.
[[nodiscard]] bool PlayShotFast(const records::GameState& state, const records::ShotVector& shot,
                                const LonePath* lone, const PlacedSettling* settled, FastPlayScratch& scratch,
                                PlayOutcome& outcome);

// How the placed stones of the record settle, when some overlap, in a world of their own: followed until
// they all sleep, and kept only if no stone's broad-phase proxy moved meanwhile, so that every play from
// the record does the same with them until its delivered stone comes near. Null otherwise.
std::shared_ptr<const PlacedSettling> SettlePlacedStones(const records::GameState& state);

}  // namespace physics
