#pragma once

#include "physics/detail/group_run.h"
#include "physics/detail/lone_run.h"
#include "physics/detail/play_outcome.h"
#include "physics/simulate_shot.h"
#include "records/game_state.h"

#include <memory>
#include <vector>

namespace physics {

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
// `lone`, when given, is the shot's trace: a play it shows to need no world ends at once.
[[nodiscard]] bool PlayShotFast(const records::GameState& state, const records::ShotVector& shot,
                                const LonePath* lone, FastPlayScratch& scratch, PlayOutcome& outcome);

}  // namespace physics
