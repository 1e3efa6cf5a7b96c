#pragma once

#include "front/game_state.h"
#include "physics/play_outcome.h"

namespace physics {

// Plays a shot to the same outcome, bit for bit, as a full world played step by step, taking exact
// shortcuts: a stone that moves alone, far from every other, is moved by the world's own float
// operations without the world, which takes over, brought to the state it would have had, only when
// the stone comes near another; and the play ends as soon as nothing can move any more.
// The record's shotNumber must lie in 0..15. False when a world did not match what a shortcut foresaw;
// the outcome is then unset and the shot must be played in full.
bool PlayShotFast(const GameState& state, const ShotVector& shot, PlayOutcome& outcome);

}  // namespace physics
