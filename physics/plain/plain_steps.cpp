#include "physics/plain/plain_steps.h"

#include "physics/sheet.h"
#include "physics/stone_motion.h"
#include "records/sheet.h"

#include <box2d/box2d.h>

#include <algorithm>
#include <iterator>

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
bool PlayOverAfterScan(SheetStones& stones, b2World& world) {
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
        const bool atRest = PlayOverAfterScan(stones, world);
        if (frames != nullptr) {
            frames->push_back(FrameOf(stones));
        }
        if (atRest) {
            return true;
        }
    }
    return false;
}

bool PlayOverAfterStep(SheetStones& stones, b2World& world) {
    world.Step(TimeStep, VelocityIterations, PositionIterations);
    ApplySheetFriction(stones, SpeedLossPerStep);
    return PlayOverAfterScan(stones, world);
}

PlayOutcome OutcomeOf(const SheetStones& stones) {
    PlayOutcome outcome;
    outcome.count = stones.count;
    for (int i = 0; i < stones.count; ++i) {
        const b2Body* body = stones.bodies[i];
        if (body != nullptr) {
            const b2Vec2& position = body->GetPosition();
            outcome.present[i] = true;
            outcome.position[i] = records::StonePosition{position.x, position.y};
        }
    }
    return outcome;
}

PlayFrame FrameOf(const SheetStones& stones) {
    const PlayOutcome outcome = OutcomeOf(stones);
    PlayFrame frame;
    std::copy(std::begin(outcome.present), std::end(outcome.present), frame.present);
    std::copy(std::begin(outcome.position), std::end(outcome.position), frame.position);
    return frame;
}

}  // namespace physics
