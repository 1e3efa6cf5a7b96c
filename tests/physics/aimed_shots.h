#pragma once

#include "physics/stone_motion.h"
#include "records/game_state.h"

#include <cstdint>

namespace testing_worlds {

// A delivery whose lone path ends at x on the tee line's side of the house: through a stone there at
// any speed above a draw. Found by bisection on the lone path's resting point.
inline records::ShotVector AimedAt(float x, float vy, uint8_t curl) {
    float low = -2.0f;
    float high = 2.0f;
    for (int k = 0; k < 40; ++k) {
        const float vx = 0.5f * (low + high);
        (physics::SlideLoneStone(records::ShotVector{vx, vy, curl, {}}).rest.x < x ? low : high) = vx;
    }
    return records::ShotVector{0.5f * (low + high), vy, curl, {}};
}

}  // namespace testing_worlds
