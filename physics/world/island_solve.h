#pragma once

#include "physics/world/world.h"

// b2World::Solve for the stone world: islands of awake stones joined by touching contacts, each
// integrated and solved as b2Island::Solve does, then the broad phase brought up to date.
namespace physics {

struct TimeStep {
    float dt = 0.0f;
    float inverseDt = 0.0f;
    float dtRatio = 0.0f;  // dt over the last step's, which scales the impulses kept for warm starting
};

// Builds the islands depth first from each awake stone in body order (newest first), following each
// stone's contacts newest first; solves each (velocity integration, warm start, ten velocity iterations,
// position integration with the translation and rotation clamps, up to ten position iterations with the
// early exit, sleep); then moves every solved stone's proxy, in body order, and makes the contacts of
// the new pairs.
void SolveIslands(World& world, const TimeStep& step);

}  // namespace physics
