#include "physics/plain/plain_steps.h"
#include "physics/plain/sheet_stones.h"
#include "physics/simulate_shot.h"
#include "physics/stone_motion.h"
#include "records/sheet.h"

#include <box2d/box2d.h>

#include <memory>
#include <mutex>

namespace physics {

namespace {

// Box2D fills its table of contact types behind a plain bool; once per process is all it needs.
std::once_flag warmUpFlag;

void MeetTwoStones() {
    using records::StoneRadius;
    auto world = std::make_unique<b2World>(b2Vec2(0.0f, 0.0f));
    CreateStoneBody(*world, records::TeeX, records::TeeY, StoneRadius, StoneDensity, StoneRestitution,
                    StoneFriction);
    CreateStoneBody(*world, records::TeeX + StoneRadius, records::TeeY, StoneRadius, StoneDensity,
                    StoneRestitution, StoneFriction);
    world->Step(TimeStep, VelocityIterations, PositionIterations);
}

}  // namespace

void WarmUp() {
    std::call_once(warmUpFlag, MeetTwoStones);
}

}  // namespace physics
