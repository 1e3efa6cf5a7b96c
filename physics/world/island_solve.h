#pragma once

#include "physics/world/integration.h"
#include "physics/world/world.h"

// b2World::Solve for the stone world: islands of awake stones joined by touching contacts, each
// integrated and solved as b2Island::Solve does, then the broad phase brought up to date.
namespace physics {

// Builds the islands depth first from each awake stone in body order (newest first), following each
// stone's contacts newest first; solves each (velocity integration, warm start, ten velocity iterations,
// position integration with the translation and rotation clamps, up to ten position iterations with the
// early exit, sleep); then moves every solved stone's proxy, in body order, leaving the pair search to
// the step's end.
void SolveIslands(World& world, const StepTiming& step);

// The step every step after the first takes: 1/600 s after a step of the same length.
StepTiming PlayStepTiming();

}  // namespace physics
