#include "physics/detail/quiet_step.h"

#include <box2d/box2d.h>

namespace physics {

namespace {

thread_local bool clockStopped = false;

}  // namespace

void StepQuietly(b2World& world, float dt, int velocityIterations, int positionIterations) {
    clockStopped = true;
    world.Step(dt, velocityIterations, positionIterations);
    clockStopped = false;
}

bool ClockStoppedOnThisThread() {
    return clockStopped;
}

}  // namespace physics
