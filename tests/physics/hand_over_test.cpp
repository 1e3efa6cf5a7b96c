#include "physics/detail/hand_over.h"
#include "physics/detail/delivery.h"
#include "physics/detail/fast_play.h"
#include "physics/detail/group_run.h"
#include "physics/detail/inert_stones.h"
#include "physics/detail/play_outcome.h"
#include "physics/detail/run_to_rest.h"
#include "physics/detail/settled_start.h"
#include "physics/detail/settling_events.h"
#include "physics/detail/sheet_stones.h"
#include "physics/stone_motion.h"
#include "records/sheet.h"
#include "tests/fixtures/position_file.h"

#include <box2d/box2d.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using physics::SheetStones;

struct Play {
    std::unique_ptr<b2World> world = std::make_unique<b2World>(b2Vec2(0.0f, 0.0f));
    SheetStones stones;
};

// The plain play's set-up.
void Start(Play& play, const records::GameState& state, const records::ShotVector& shot) {
    play.world->SetAllowSleeping(true);
    ASSERT_TRUE(physics::PlaceStones(play.stones, state, *play.world));
    ASSERT_TRUE(physics::ThrowStone(play.stones, *play.world, shot));
    physics::ApplySheetFriction(play.stones, physics::SpeedLossPerStep * 0.5f);
}

// A delivery whose lone path would stop at (x, TeeY): through the house at any speed above a draw.
records::ShotVector AimedAt(float x, float vy, uint8_t curl) {
    float low = -2.0f;
    float high = 2.0f;
    for (int k = 0; k < 40; ++k) {
        const float vx = 0.5f * (low + high);
        (physics::SlideLoneStone(records::ShotVector{vx, vy, curl, {}}).rest.x < x ? low : high) = vx;
    }
    return records::ShotVector{0.5f * (low + high), vy, curl, {}};
}

std::string Index(const SheetStones& stones, const b2Body* body) {
    return std::to_string(physics::StoneIndex(stones, body));
}

// Box2D sets a manifold's type, normal and point only when the shapes touch, and the points up to
// pointCount; the rest keeps whatever an earlier contact left in the allocator's block, and nothing
// reads it.
bool SameManifold(const b2Manifold& a, const b2Manifold& b) {
    const std::size_t points = static_cast<std::size_t>(a.pointCount);
    if (a.pointCount != b.pointCount) {
        return false;
    }
    if (points == 0) {
        return true;
    }
    return a.type == b.type && std::memcmp(&a.localNormal, &b.localNormal, sizeof a.localNormal) == 0 &&
           std::memcmp(&a.localPoint, &b.localPoint, sizeof a.localPoint) == 0 &&
           std::memcmp(a.points, b.points, points * sizeof a.points[0]) == 0;
}

// Everything of the world that a later step reads: each body's motion, sleep and broad-phase box, and
// the contacts in the world's order with what they carry over; all but those of stone `leftOut`.
void ExpectSameWorld(Play& a, Play& b, const std::string& where, int leftOut = -1) {
    const physics::StoneProxies proxiesA = physics::FindStoneProxies(a.stones, *a.world);
    const physics::StoneProxies proxiesB = physics::FindStoneProxies(b.stones, *b.world);
    for (int i = 0; i < a.stones.count; ++i) {
        const b2Body* p = a.stones.bodies[i];
        const b2Body* q = b.stones.bodies[i];
        ASSERT_EQ(p == nullptr, q == nullptr) << where << ", stone " << i;
        if (p == nullptr || i == leftOut) {
            continue;
        }
        EXPECT_EQ(p->GetPosition().x, q->GetPosition().x) << where << ", stone " << i;
        EXPECT_EQ(p->GetPosition().y, q->GetPosition().y) << where << ", stone " << i;
        EXPECT_EQ(p->GetAngle(), q->GetAngle()) << where << ", stone " << i;
        EXPECT_EQ(p->GetLinearVelocity().x, q->GetLinearVelocity().x) << where << ", stone " << i;
        EXPECT_EQ(p->GetLinearVelocity().y, q->GetLinearVelocity().y) << where << ", stone " << i;
        EXPECT_EQ(p->GetAngularVelocity(), q->GetAngularVelocity()) << where << ", stone " << i;
        EXPECT_EQ(p->IsAwake(), q->IsAwake()) << where << ", stone " << i;
        EXPECT_EQ(physics::StillTime(*p), physics::StillTime(*q)) << where << ", stone " << i;
        const physics::Box boxA = physics::TreeBox(*a.world, proxiesA.ids[i]);
        const physics::Box boxB = physics::TreeBox(*b.world, proxiesB.ids[i]);
        EXPECT_TRUE(boxA.lowerX == boxB.lowerX && boxA.lowerY == boxB.lowerY && boxA.upperX == boxB.upperX &&
                    boxA.upperY == boxB.upperY)
            << where << ", stone " << i;
    }
    ASSERT_EQ(a.world->GetContactCount(), b.world->GetContactCount()) << where;
    const b2Contact* p = a.world->GetContactList();
    const b2Contact* q = b.world->GetContactList();
    for (; p != nullptr && q != nullptr; p = p->GetNext(), q = q->GetNext()) {
        EXPECT_EQ(p->GetFixtureA()->GetBody()->IsAwake(), q->GetFixtureA()->GetBody()->IsAwake()) << where;
        EXPECT_EQ(
            Index(a.stones, p->GetFixtureA()->GetBody()) + "-" + Index(a.stones, p->GetFixtureB()->GetBody()),
            Index(b.stones, q->GetFixtureA()->GetBody()) + "-" + Index(b.stones, q->GetFixtureB()->GetBody()))
            << where;
        EXPECT_EQ(p->IsTouching(), q->IsTouching()) << where;
        EXPECT_EQ(p->IsEnabled(), q->IsEnabled()) << where;
        EXPECT_TRUE(SameManifold(*p->GetManifold(), *q->GetManifold())) << where;
    }
}

struct Tally {
    int handOvers = 0;
    int removals = 0;
    int contactsMet = 0;  // hand-overs after which a mover's box met another's without touching
    int ended = 0;
};

// Plays one shot twice, the reference world step by step and the other with a group run wherever one
// can start, and compares them after each hand-over and at the end.
void PlayBothWays(const records::GameState& state, const records::ShotVector& shot, const std::string& name,
                  Tally& tally) {
    Play plain;
    Play fast;
    Start(plain, state, shot);
    Start(fast, state, shot);
    const physics::StoneProxies proxies = physics::FindStoneProxies(fast.stones, *fast.world);
    std::vector<physics::GroupEvent> events;
    for (int step = 1; step <= physics::MaxPlaySteps; ++step) {
        const bool over = physics::PlayStep(plain.stones, *plain.world);
        ASSERT_EQ(over, physics::PlayStep(fast.stones, *fast.world)) << name << " step " << step;
        if (over) {
            return;
        }
        physics::GroupRunSetup setup;
        if (!physics::GroupSetupOf(fast.stones, *fast.world, proxies, physics::FindInertStones(fast.stones),
                                   step, setup)) {
            continue;
        }
        const physics::GroupRunResult run = physics::RunGroup(setup, events);
        for (const physics::GroupEvent& event : events) {
            tally.removals += event.kind == physics::GroupEventKind::Removed ? 1 : 0;
        }
        const std::string where = name + " from step " + std::to_string(step);
        if (run.end == physics::GroupRunEnd::Ended) {
            bool plainOver = false;
            while (!plainOver && step < run.step) {
                ++step;
                plainOver = physics::PlayStep(plain.stones, *plain.world);
            }
            EXPECT_EQ(step, run.step) << where << ": the play ends at another step";
            const physics::PlayOutcome outcome = physics::OutcomeOf(plain.stones);
            for (int i = 0; i < state.shotNumber + 1; ++i) {
                ASSERT_EQ(outcome.present[i], run.stones[i].present) << where << ", stone " << i;
                if (outcome.present[i]) {
                    EXPECT_EQ(outcome.position[i].x, run.stones[i].state.x) << where << ", stone " << i;
                    EXPECT_EQ(outcome.position[i].y, run.stones[i].state.y) << where << ", stone " << i;
                }
            }
            ++tally.ended;
            return;
        }
        if (run.step <= step) {
            continue;
        }
        const int contactsBefore = fast.world->GetContactCount();
        ASSERT_TRUE(physics::CatchUpGroup(*fast.world, fast.stones, proxies, events, step, run)) << where;
        tally.contactsMet += fast.world->GetContactCount() != contactsBefore ? 1 : 0;
        while (step < run.step) {
            ++step;
            ASSERT_FALSE(physics::PlayStep(plain.stones, *plain.world)) << where;
        }
        ExpectSameWorld(plain, fast, where + " to step " + std::to_string(step));
        ++tally.handOvers;
        if (testing::Test::HasFailure()) {
            return;
        }
    }
}

// Hits into full houses, from a firm draw weight to a hard takeout, both curls, across the house.
TEST(GroupRun, LeavesTheWorldAsSteppingItDoes) {
    Tally tally;
    for (const fixtures::PositionFile& position : fixtures::LoadPositionFiles()) {
        if (position.name != "frozen_stones" && position.name != "late_end_shot14" &&
            position.name != "crowded_house_shot8") {
            continue;
        }
        for (const float vy : {-30.0f, -31.5f, -34.0f, -38.0f, -42.0f}) {
            for (const uint8_t curl : {0, 1}) {
                for (const float dx : {-1.0f, -0.5f, 0.0f, 0.5f, 1.0f}) {
                    const records::ShotVector shot = AimedAt(records::TeeX + dx, vy, curl);
                    PlayBothWays(position.state, shot,
                                 position.name + " vy " + std::to_string(vy) + " curl " +
                                     std::to_string(curl) + " dx " + std::to_string(dx),
                                 tally);
                    ASSERT_FALSE(HasFailure());
                }
            }
        }
    }

    // The comparisons above mean something only if the runs met what makes them hard.
    EXPECT_GT(tally.handOvers, 100);
    EXPECT_GT(tally.ended, 50);
    EXPECT_GT(tally.removals, 0);
    EXPECT_GT(tally.contactsMet, 0);
}

// Overlapping stones settle the same way whatever the delivery, so one settling serves every shot: a
// world given it after its first step matches, stone for stone and contact for contact, worlds that
// stepped all the way with different deliveries.
TEST(SettledStart, GivesTheWorldWhatSteppingItGives) {
    int compared = 0;
    for (const fixtures::PositionFile& position : fixtures::LoadPositionFiles()) {
        if (position.name != "pressed_stones" && position.name != "stacked_and_pressed") {
            continue;
        }
        const std::shared_ptr<const physics::PlacedSettling> settled =
            physics::SettlePlacedStones(position.state);
        ASSERT_NE(settled, nullptr) << position.name;
        const int thrower = position.state.shotNumber;
        for (const records::ShotVector& shot :
             {AimedAt(records::TeeX, -30.0f, 0), AimedAt(records::TeeX - 1.0f, -33.0f, 1)}) {
            for (const int extra : {0, 57}) {
                const int handOver = settled->allAsleepStep + extra;
                Play plain;
                Play given;
                Start(plain, position.state, shot);
                Start(given, position.state, shot);
                for (int step = 1; step <= handOver; ++step) {
                    ASSERT_FALSE(physics::PlayStep(plain.stones, *plain.world));
                }
                ASSERT_FALSE(physics::PlayStep(given.stones, *given.world));
                ASSERT_TRUE(physics::PlaceSettledStones(given.stones, *given.world, *settled, handOver));
                ExpectSameWorld(plain, given, position.name + " at step " + std::to_string(handOver),
                                thrower);
                ++compared;
            }
        }
    }
    EXPECT_EQ(compared, 8);
}

// A pile that bursts apart moves its proxies while it settles: a world given the recorded burst, with
// the delivered stone's own re-insertions woven in, matches worlds that stepped through it, whatever
// the delivery's speed and curl.
TEST(SettledStart, ReplaysABurstAsSteppingIt) {
    int compared = 0;
    for (const fixtures::PositionFile& position : fixtures::LoadPositionFiles(FIXTURE_HOSTILE_DIR)) {
        if (position.name != "fifteen_squeezed") {
            continue;
        }
        const std::shared_ptr<const physics::PlacedSettling> settled =
            physics::SettlePlacedStones(position.state);
        ASSERT_NE(settled, nullptr);
        ASSERT_TRUE(settled->boxesMoved);
        const int thrower = position.state.shotNumber;
        for (const records::ShotVector& shot :
             {AimedAt(records::TeeX, -29.8f, 0), AimedAt(records::TeeX, -36.0f, 1),
              AimedAt(records::TeeX + 0.7f, -44.0f, 0)}) {
            const int handOver = settled->allAsleepStep;
            Play plain;
            Play given;
            Start(plain, position.state, shot);
            Start(given, position.state, shot);
            for (int step = 1; step <= handOver; ++step) {
                ASSERT_FALSE(physics::PlayStep(plain.stones, *plain.world));
            }
            std::vector<physics::ProxyMove> moves;
            const physics::LoneRunSetup setup =
                physics::DeliverySetup(shot, settled->tree, thrower, false, settled->allAsleepStep);
            static_cast<void>(physics::RunAlone(setup, moves));
            ASSERT_FALSE(physics::PlayStep(given.stones, *given.world));
            ASSERT_TRUE(physics::ReplaySettlingEvents(given.stones, *given.world, *settled, moves));
            ASSERT_TRUE(physics::PlaceSettledStones(given.stones, *given.world, *settled, handOver));
            ExpectSameWorld(plain, given, position.name + " vy " + std::to_string(shot.vy), thrower);
            ++compared;
        }
    }
    EXPECT_EQ(compared, 3);
}

}  // namespace
