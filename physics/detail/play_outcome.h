#pragma once

#include "physics/detail/sheet_stones.h"
#include "physics/simulate_shot.h"

#include <cstdint>

namespace physics {

// Where one play left the stones: which are still on the sheet and where their centres are.
struct PlayOutcome {
    int32_t count = 0;  // stones delivered, the thrown one included
    bool present[records::StoneCount] = {};
    records::StonePosition position[records::StoneCount] = {};
};

// The outcome the table of bodies holds now.
PlayOutcome OutcomeOf(const SheetStones& stones);

// The same as a frame of a play.
PlayFrame FrameOf(const SheetStones& stones);

}  // namespace physics
