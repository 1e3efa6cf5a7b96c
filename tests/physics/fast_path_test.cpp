#include "physics/fast_play.h"
#include "physics/hand_over.h"
#include "physics/lone_run.h"
#include "physics/quiet_step.h"
#include "physics/run_to_rest.h"
#include "physics/settle.h"
#include "physics/sheet.h"
#include "physics/simulate_shot.h"
#include "physics/stone_motion.h"

#include <box2d/box2d.h>
#include <gtest/gtest.h>
#include <sys/time.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <vector>

namespace {

using physics::SimulationPath;

struct World {
    std::unique_ptr<b2World> world = std::make_unique<b2World>(b2Vec2(0.0f, 0.0f));
    physics::SheetStones stones;
};

// The plain play's set-up, without stepping.
std::unique_ptr<World> StartWorld(const GameState& state, const ShotVector& shot) {
    auto w = std::make_unique<World>();
    w->world->SetAllowSleeping(true);
    physics::PlaceStones(w->stones, state, *w->world);
    physics::ThrowStone(w->stones, *w->world, shot);
    physics::ApplySheetFriction(w->stones, physics::SpeedLossPerStep * 0.5f);
    return w;
}

bool SameBytes(const void* a, const void* b, std::size_t size) {
    return std::memcmp(a, b, size) == 0;
}

// Everything of the two worlds that the rest of a play depends on.
void ExpectSameWorlds(World& a, World& b) {
    const physics::StoneProxies proxiesA = physics::FindStoneProxies(a.stones, *a.world);
    const physics::StoneProxies proxiesB = physics::FindStoneProxies(b.stones, *b.world);
    ASSERT_EQ(a.stones.count, b.stones.count);
    EXPECT_EQ(a.world->GetContactCount(), b.world->GetContactCount());
    for (int i = 0; i < a.stones.count; ++i) {
        SCOPED_TRACE(testing::Message() << "stone " << i);
        const b2Body* p = a.stones.bodies[i];
        const b2Body* q = b.stones.bodies[i];
        ASSERT_EQ(p == nullptr, q == nullptr);
        if (p == nullptr) {
            continue;
        }
        EXPECT_TRUE(SameBytes(&p->GetPosition(), &q->GetPosition(), sizeof(b2Vec2)));
        EXPECT_TRUE(SameBytes(&p->GetLinearVelocity(), &q->GetLinearVelocity(), sizeof(b2Vec2)));
        EXPECT_EQ(p->GetAngularVelocity(), q->GetAngularVelocity());
        EXPECT_EQ(p->IsAwake(), q->IsAwake());
        const physics::Box boxA = physics::TreeBox(*a.world, proxiesA.ids[i]);
        const physics::Box boxB = physics::TreeBox(*b.world, proxiesB.ids[i]);
        EXPECT_TRUE(SameBytes(&boxA, &boxB, sizeof boxA));
    }
}

// Two guards and a stone in the house, each of which one of the shots below strikes.
GameState HouseOfThree() {
    GameState state{};
    state.shotNumber = 3;
    state.stones[0] = {3.228f, 8.0f};
    state.stones[1] = {2.466f, 8.0f};
    state.stones[2] = {2.52f, 4.88f};
    return state;
}

TEST(LoneRun, ProxyBoxesAreTheWorldsOwn) {
    for (StonePosition at :
         {StonePosition{2.375f, 4.88f}, StonePosition{0.3f, 10.9f}, StonePosition{4.5f, 3.0f}}) {
        SCOPED_TRACE(testing::Message() << at.x << ", " << at.y);
        GameState state{};
        state.shotNumber = 1;
        state.stones[0] = at;
        auto w = StartWorld(state, ShotVector{0.0f, -30.0f, 0, {}});
        const physics::StoneProxies proxies = physics::FindStoneProxies(w->stones, *w->world);
        const physics::Box fresh = physics::FreshProxyBox(at.x, at.y);
        const physics::Box tree = physics::TreeBox(*w->world, proxies.ids[0]);
        EXPECT_TRUE(SameBytes(&fresh, &tree, sizeof fresh));
    }
}

// The world handed over by the fast path is the plain world at the same step, and stays so.
TEST(LoneRun, HandedOverWorldPlaysOnLikeThePlainOne) {
    const GameState state = HouseOfThree();
    for (const ShotVector& shot : {ShotVector{0.0f, -29.6f, 0, {}}, ShotVector{-0.3f, -40.0f, 0, {}},
                                   ShotVector{-0.33f, -29.8f, 0, {}}}) {
        SCOPED_TRACE(testing::Message() << shot.vx << ", " << shot.vy);
        const StonePosition placed[] = {state.stones[0], state.stones[1], state.stones[2]};
        physics::Box others[3];
        for (int i = 0; i < 3; ++i) {
            others[i] = physics::FreshProxyBox(placed[i].x, placed[i].y);
        }
        const physics::StoneMotion start = physics::ApplyFrictionStep(
            {shot.vx, shot.vy, physics::SpinForCurl(shot.curl)}, physics::SpeedLossPerStep * 0.5f);
        physics::LoneRunSetup setup;
        setup.start =
            physics::MoverState{physics::DeliveryX, physics::DeliveryY, 0.0f, start.vx, start.vy, start.spin};
        setup.firstExaminedStep = physics::StepsToFallAsleep();
        setup.firstHandOverStep = physics::StepsToFallAsleep();
        setup.treeBox = physics::FreshProxyBox(physics::DeliveryX, physics::DeliveryY);
        setup.others = others;
        setup.otherCount = 3;
        std::vector<physics::ProxyMove> moves;
        const physics::LoneRunResult run = physics::RunAlone(setup, moves);
        ASSERT_EQ(run.end, physics::LoneRunEnd::HandOver);

        auto plain = StartWorld(state, shot);
        for (int step = 1; step <= run.step; ++step) {
            ASSERT_FALSE(physics::PlayStep(plain->stones, *plain->world));
        }
        auto fast = StartWorld(state, shot);
        ASSERT_FALSE(physics::PlayStep(fast->stones, *fast->world));
        const physics::StoneProxies proxies = physics::FindStoneProxies(fast->stones, *fast->world);
        ASSERT_TRUE(
            physics::CatchUpMover(*fast->world, fast->stones.bodies[3], proxies.ids[3], moves, 1, run));
        for (int i = 0; i < 3; ++i) {
            fast->stones.bodies[i]->SetAwake(false);
        }
        ExpectSameWorlds(*plain, *fast);
        for (int step = run.step + 1; step <= run.step + 400; ++step) {
            const bool plainOver = physics::PlayStep(plain->stones, *plain->world);
            ASSERT_EQ(plainOver, physics::PlayStep(fast->stones, *fast->world));
            if (plainOver) {
                break;
            }
        }
        ExpectSameWorlds(*plain, *fast);
    }
}

// Overlapping stones settle; from then on they keep their places, and they fall asleep exactly when the
// settling loop said they would, although the world never tells a stone's sleep time.
TEST(Settling, ForeseesWhenTheStonesFallAsleep) {
    GameState state{};
    state.shotNumber = 5;
    state.stones[0] = {2.375f, 4.88f};
    state.stones[1] = {2.375f, 5.12f};  // overlaps stone 0 by 0.05
    state.stones[2] = {2.6f, 5.3f};     // touches stone 1 after the push
    state.stones[3] = {1.9f, 6.5f};
    state.stones[4] = {1.9f, 6.21f};  // frozen to stone 3
    auto w = StartWorld(state, ShotVector{0.0f, -40.0f, 0, {}});
    const physics::Settling settling = physics::PlayUntilSettled(w->stones, *w->world, 5, 120);
    ASSERT_EQ(settling.end, physics::SettleEnd::Settled);
    EXPECT_GT(settling.step, 1);
    StonePosition settled[5];
    for (int i = 0; i < 5; ++i) {
        settled[i] = {w->stones.bodies[i]->GetPosition().x, w->stones.bodies[i]->GetPosition().y};
    }
    EXPECT_FALSE(SameBytes(&settled[1], &state.stones[1], sizeof settled[1]));
    for (int step = settling.step + 1; step <= settling.allAsleepStep; ++step) {
        bool anyAwake = false;
        for (int i = 0; i < 5; ++i) {
            anyAwake = anyAwake || w->stones.bodies[i]->IsAwake();
        }
        EXPECT_TRUE(anyAwake) << "all asleep before step " << step;
        ASSERT_FALSE(physics::PlayStep(w->stones, *w->world));
    }
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(testing::Message() << "stone " << i);
        EXPECT_FALSE(w->stones.bodies[i]->IsAwake());
        const b2Vec2& now = w->stones.bodies[i]->GetPosition();
        EXPECT_TRUE(now.x == settled[i].x && now.y == settled[i].y);
    }
}

TEST(EarlyEnd, OnlyWhenNoStoneMovesOrTouches) {
    struct Case {
        const char* name;
        StonePosition second;
        ShotVector shot;
        bool expected;
    };
    // The shot is never delivered far: zero speed leaves it at the delivery point, standing still.
    const std::vector<Case> cases = {
        {"apart and still", {2.8f, 5.0f}, {0.0f, 0.0f, 0, {}}, true},
        {"frozen together", {2.375f, 5.1695f}, {0.0f, 0.0f, 0, {}}, false},
        {"a stone sliding", {2.8f, 5.0f}, {0.0f, -20.0f, 0, {}}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GameState state{};
        state.shotNumber = 2;
        state.stones[0] = {2.375f, 4.88f};
        state.stones[1] = c.second;
        auto w = StartWorld(state, c.shot);
        for (int step = 0; step < 3; ++step) {
            physics::PlayStep(w->stones, *w->world);
        }
        EXPECT_EQ(physics::NothingCanMove(w->stones, *w->world), c.expected);
    }
}

// Stones stacked on one spot are never pushed apart and never sleep: the play runs to the step limit,
// and the fast path must end there too, with the same places.
TEST(FastPath, MatchesThePlainPathOnStackedStones) {
    GameState state{};
    state.shotNumber = 3;
    state.stones[0] = {2.375f, 4.88f};
    state.stones[1] = {2.375f, 4.88f};
    state.stones[2] = {2.9f, 9.0f};
    for (const ShotVector& shot : {ShotVector{0.0f, -29.6f, 1, {}}, ShotVector{0.1f, -36.0f, 0, {}}}) {
        GameState plain = state;
        GameState fast = state;
        physics::SimulateShot(plain, shot, SimulationPath::Plain);
        physics::SimulateShot(fast, shot, SimulationPath::Fast);
        EXPECT_TRUE(SameBytes(&plain, &fast, sizeof plain));
    }
}

TEST(QuietStep, StopsTheClockOnlyInsideTheStep) {
    b2World world(b2Vec2(0.0f, 0.0f));
    physics::CreateStoneBody(world, 2.0f, 5.0f, physics::StoneRadius, physics::StoneDensity,
                             physics::StoneRestitution, physics::StoneFriction);
    physics::StepQuietly(world, physics::TimeStep, physics::VelocityIterations, physics::PositionIterations);
    EXPECT_EQ(world.GetProfile().step, 0.0f);

    timeval now{};
    ASSERT_EQ(gettimeofday(&now, nullptr), 0);
    const auto reference =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
            .count();
    EXPECT_NEAR(static_cast<double>(now.tv_sec), static_cast<double>(reference), 2.0);
}

}  // namespace
