#pragma once

#include "physics/world/world.h"

// How a world that stands still is told from the world a step or two before: what lets the skips know
// that steps repeat themselves, from the states alone.
namespace physics {

// Whether stone i of `now` belongs to a still island as far as it alone tells: awake, without velocity
// or spin, and with its state and its touching contacts' exactly as `previous` (the world a step before)
// had them. A step is a function of what it reads, so an island of such stones repeats that step for as
// long as nothing else reaches it.
bool RepeatsStill(const World& now, const World& previous, int32_t i);

// Whether the world after a step is what it was two steps before, every stone standing still where it
// stood after the step before, and no awake stone able to fall asleep (each has held still long enough
// and still woke): the steps then read what they read before and do the same, so the world only swings
// between the two (the least pushes trading places between contacts), no stone moves or is removed, and
// the play ends as it stands at the step cap. A centre on an axis is left out: there the sign of a zero,
// which the drifting angle sets, would reach it.
bool RepeatsEveryTwoSteps(const World& now, const World& previous, const World& twoBack);

}  // namespace physics
