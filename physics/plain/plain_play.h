#pragma once

#include "physics/play/play_step.h"
#include "physics/simulate_shot.h"
#include "records/game_state.h"

#include <vector>

// The plain path: a play on a real b2World of Box2D 2.4.1, stepped until every stone sleeps. It defines
// what a play is and stays the oracle that the stone world and its skips are compared with. The only
// code besides the tests that includes Box2D lives in this folder.
namespace physics {

// The record's shotNumber lies in 0..15. With frames, where the stones stand after the set-up and after
// every step.
PlayOutcome PlayShotPlain(const records::GameState& state, const records::ShotVector& shot,
                          std::vector<PlayFrame>* frames = nullptr);

}  // namespace physics
