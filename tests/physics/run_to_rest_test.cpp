#include "physics/run_to_rest.h"

#include "physics/sheet.h"
#include "physics/sheet_stones.h"
#include "physics/stone_motion.h"

#include <box2d/box2d.h>
#include <gtest/gtest.h>

namespace {

using physics::SheetStones;

b2Body* AddStone(b2World& world, float x, float y) {
    return physics::CreateStoneBody(world, x, y, physics::StoneRadius, physics::StoneDensity,
                                    physics::StoneRestitution, physics::StoneFriction);
}

// A stone starts beyond the side bound and slides back onto the sheet. The scan stops at the first
// awake stone, so a resting stone placed below it (awake for its first half second) shields it.
TEST(RunToRest, RemovalWaitsForTheScanToReachTheStone) {
    struct Case {
        const char* name;
        bool stoneBelow;
        bool survives;
    };
    for (const Case& c : {Case{"awake stone below", true, true}, Case{"nothing below", false, false}}) {
        SCOPED_TRACE(c.name);
        b2World world(b2Vec2(0.0f, 0.0f));
        SheetStones stones;
        stones.count = 2;
        if (c.stoneBelow) {
            stones.bodies[0] = AddStone(world, 2.375f, 4.88f);
        }
        stones.bodies[1] = AddStone(world, 4.7f, 8.0f);
        stones.bodies[1]->SetLinearVelocity(b2Vec2(-3.0f, 0.0f));
        EXPECT_TRUE(physics::RunUntilAtRest(stones, world, physics::TimeStep));
        ASSERT_EQ(stones.bodies[1] != nullptr, c.survives);
        EXPECT_EQ(world.GetBodyCount(), (c.stoneBelow ? 1 : 0) + (c.survives ? 1 : 0));
        if (c.survives) {
            EXPECT_TRUE(physics::ClassifyStonePosition(stones.bodies[1]->GetPosition().x, 8.0f).inPlay);
            EXPECT_FALSE(stones.bodies[1]->IsAwake());
        }
    }
}

TEST(RunToRest, StonesStackedOnOneSpotStopAtTheStepCap) {
    b2World world(b2Vec2(0.0f, 0.0f));
    SheetStones stones;
    stones.count = 2;
    stones.bodies[0] = AddStone(world, 2.375f, 4.88f);
    stones.bodies[1] = AddStone(world, 2.375f, 4.88f);
    EXPECT_FALSE(physics::RunUntilAtRest(stones, world, physics::TimeStep));
    EXPECT_NE(stones.bodies[0], nullptr);
    EXPECT_NE(stones.bodies[1], nullptr);
}

}  // namespace
