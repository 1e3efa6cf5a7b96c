#pragma once

#include "records/game_state.h"

namespace simulator {

// The shot that brings a lone stone from the delivery point to rest at the target under the engine's
// own stone motion (sheet bounds ignored), with the target's curl flag passed through. For targets up
// to about 110 m from the delivery point the stone rests well within a millimetre of the target; a
// farther target gets the fastest tabulated shot along its line, a non-finite one a zero velocity.
// Deterministic and safe to call from any thread; the first call builds a shared table.
records::ShotVector ShotForTarget(const records::ShotTarget& target);

// The same in the shape of the library's CreateShot, for programs that link the inverse and hand a
// search its CreateShotFunction.
void WriteShotForTarget(records::ShotTarget target, records::ShotVector* shot);

}  // namespace simulator
