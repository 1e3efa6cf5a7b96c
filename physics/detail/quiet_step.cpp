#include "physics/detail/quiet_step.h"

#include <box2d/box2d.h>

namespace physics {

void StepQuietly(b2World& world, float dt, int velocityIterations, int positionIterations) {
    clockStoppedOnThisThread = true;
    world.Step(dt, velocityIterations, positionIterations);
    clockStoppedOnThisThread = false;
}

}  // namespace physics
