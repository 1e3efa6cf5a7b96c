#include "physics/plain/plain_steps.h"
#include "physics/play/play_step.h"
#include "records/sheet.h"

#include "physics/plain/sheet_stones.h"
#include "physics/sheet.h"
#include "physics/simulate_shot.h"
#include "physics/stone_motion.h"

#include "tests/fixtures/position_file.h"

#include <box2d/box2d.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

using physics::SheetStones;

b2Body* AddStone(b2World& world, float x, float y) {
    return physics::CreateStoneBody(world, x, y, records::StoneRadius, physics::StoneDensity,
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

// Stones stacked on one spot are never pushed apart and never sleep: the play runs to the step cap, and
// the fast path must end there too, with the same places.
TEST(RunToRest, StonesStackedOnOneSpotStopAtTheStepCap) {
    b2World world(b2Vec2(0.0f, 0.0f));
    SheetStones stones;
    stones.count = 2;
    stones.bodies[0] = AddStone(world, 2.375f, 4.88f);
    stones.bodies[1] = AddStone(world, 2.375f, 4.88f);
    EXPECT_FALSE(physics::RunUntilAtRest(stones, world, physics::TimeStep));
    EXPECT_NE(stones.bodies[0], nullptr);
    EXPECT_NE(stones.bodies[1], nullptr);

    records::GameState state{};
    state.shotNumber = 3;
    state.stones[0] = {2.375f, 4.88f};
    state.stones[1] = {2.375f, 4.88f};
    state.stones[2] = {2.9f, 9.0f};
    for (const records::ShotVector& shot :
         {records::ShotVector{0.0f, -29.6f, 1, {}}, records::ShotVector{0.1f, -36.0f, 0, {}}}) {
        records::GameState plain = state;
        records::GameState fast = state;
        EXPECT_TRUE(physics::SimulateShot(plain, shot, physics::SimulationPath::Plain) &&
                    physics::SimulateShot(fast, shot, physics::SimulationPath::Fast));
        EXPECT_EQ(std::memcmp(&plain, &fast, sizeof plain), 0);
    }
}

// Hits on pairs of stones stacked on one spot, whose plays all run to the step cap. The fast path ends
// them early once nothing can change: after a push rounded to no change of centre, with stones beyond
// the bounds kept in play by the pairs awake below them, and with the least pushes trading places
// between two contacts from step to step. It must end with the plain path's places.
TEST(RunToRest, HitsOnStackedPairsEndAsAtTheStepCap) {
    const std::vector<fixtures::PositionFile> piles = fixtures::LoadPositionFiles(FIXTURE_HOSTILE_DIR);
    const auto pairs = std::find_if(piles.begin(), piles.end(), [](const fixtures::PositionFile& p) {
        return p.name == "pairs_stacked";
    });
    ASSERT_NE(pairs, piles.end());
    physics::SimulationScratch scratch;
    for (const records::ShotVector& shot : {records::ShotVector{-0x1.4c19cap+0f, -0x1.e3f73ep+4f, 0, {}},
                                            records::ShotVector{0x1.210168p-1f, -0x1.63d5d8p+5f, 1, {}},
                                            records::ShotVector{0x1.e14146p-1f, -0x1.de9b8ap+4f, 1, {}}}) {
        SCOPED_TRACE(shot.vy);
        records::GameState plain = pairs->state;
        records::GameState fast = pairs->state;
        std::vector<physics::PlayFrame> frames;
        ASSERT_TRUE(physics::SimulateShotFrames(plain, shot, frames));
        EXPECT_EQ(frames.size(), static_cast<std::size_t>(physics::MaxPlaySteps) + 1);
        ASSERT_TRUE(physics::SimulateShot(fast, shot, scratch, physics::SimulationPath::Fast));
        EXPECT_EQ(std::memcmp(&plain, &fast, sizeof plain), 0);
    }
    // One of them swings between two states from step to step; the others rest as they stand.
    EXPECT_GT(scratch.counters.decidedRepeat, 0);
    EXPECT_GT(scratch.counters.decidedQuiet, 0);
}

}  // namespace
