#include "physics/detail/run_to_rest.h"

#include "physics/detail/play_outcome.h"
#include "physics/sheet.h"
#include "physics/stone_motion.h"
#include "records/sheet.h"

#include <box2d/box2d.h>

namespace physics {

namespace {

// Destroys the body of stone i when its centre has left every zone of the sheet; true when it did.
bool RemoveIfOffSheet(SheetStones& stones, b2World& world, int i) {
    b2Body* body = stones.bodies[i];
    const b2Vec2& position = body->GetPosition();
    if (!IsOffSheet(ClassifyStonePosition(position.x, position.y))) {
        return false;
    }
    world.DestroyBody(body);
    stones.bodies[i] = nullptr;
    return true;
}

}  // namespace

// Removal happens only here. The scan ends at the first stone that is still on the sheet and awake,
// so a stone beyond the bounds stays in the world until every stone below it rests or is gone.
bool ScanStones(SheetStones& stones, b2World& world) {
    for (int i = 0; i < stones.count; ++i) {
        if (stones.bodies[i] == nullptr || RemoveIfOffSheet(stones, world, i)) {
            continue;
        }
        if (stones.bodies[i]->IsAwake()) {
            return false;
        }
    }
    return true;
}

void ApplySheetFriction(SheetStones& stones, float speedLoss) {
    for (int i = 0; i < stones.count; ++i) {
        b2Body* body = stones.bodies[i];
        if (body == nullptr) {
            continue;
        }
        const b2Vec2& velocity = body->GetLinearVelocity();
        const StoneMotion next =
            ApplyFrictionStep(StoneMotion{velocity.x, velocity.y, body->GetAngularVelocity()}, speedLoss);
        // A zero velocity leaves a sleeping body asleep; a non-zero one wakes it.
        body->SetLinearVelocity(b2Vec2(next.vx, next.vy));
        if (next.spin == 0.0f) {
            body->SetAngularVelocity(0.0f);
        }
    }
}

bool RunUntilAtRest(SheetStones& stones, b2World& world, float dt, std::vector<PlayFrame>* frames) {
    const float speedLoss = dt * SheetDeceleration;
    ApplySheetFriction(stones, speedLoss * 0.5f);
    for (int step = 0; step < MaxPlaySteps; ++step) {
        world.Step(dt, VelocityIterations, PositionIterations);
        ApplySheetFriction(stones, speedLoss);
        const bool atRest = ScanStones(stones, world);
        if (frames != nullptr) {
            frames->push_back(FrameOf(stones));
        }
        if (atRest) {
            return true;
        }
    }
    return false;
}

bool PlayStep(SheetStones& stones, b2World& world) {
    world.Step(TimeStep, VelocityIterations, PositionIterations);
    ApplySheetFriction(stones, SpeedLossPerStep);
    return ScanStones(stones, world);
}

}  // namespace physics
