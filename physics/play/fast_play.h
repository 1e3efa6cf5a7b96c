#pragma once

#include "physics/play/play_step.h"
#include "physics/simulate_shot.h"
#include "records/game_state.h"

// The engine's play of one shot on the stone world, with the skips that decide or shorten it: the same
// outcome, bit for bit, as the world stepped through every step.
namespace physics {

struct PlacedStones;

// The record's shotNumber lies in 0..15. `lone` and `placed`, when given and stamped with this shot and
// this record, may decide the play without a world.
PlayOutcome PlayShotOnWorld(const records::GameState& state, const records::ShotVector& shot,
                            const LonePath* lone, const PlacedStones* placed, PlayCounters& counters);

}  // namespace physics
