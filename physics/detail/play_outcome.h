#pragma once

#include "physics/detail/sheet_stones.h"
#include "physics/play/play_step.h"
#include "physics/simulate_shot.h"

#include <cstdint>

namespace physics {

// The outcome the table of bodies holds now.
PlayOutcome OutcomeOf(const SheetStones& stones);

// The same as a frame of a play.
PlayFrame FrameOf(const SheetStones& stones);

}  // namespace physics
