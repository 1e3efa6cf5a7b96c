#include "physics/sheet_stones.h"

#include "physics/sheet.h"

#include <box2d/box2d.h>
#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace {

using physics::PlaceStones;
using physics::SheetStones;
using physics::ThrowStone;

GameState RecordWithEveryStoneAt(float x, float y, int shotNumber) {
    GameState state{};
    state.shotNumber = shotNumber;
    for (StonePosition& stone : state.stones) {
        stone = {x, y};
    }
    return state;
}

TEST(StonePlacement, OnlyDeliveredStonesInPlayGetBodies) {
    GameState state{};
    state.shotNumber = 6;
    state.stones[0] = {0.0f, 0.0f};      // removed earlier
    state.stones[1] = {2.375f, 11.2f};   // short of the hog line
    state.stones[2] = {2.375f, 2.9f};    // behind the back bound of play
    state.stones[3] = {2.375f, 3.0f};    // behind the back line but still in play
    state.stones[4] = {1.0f, 8.0f};      // guard
    state.stones[5] = {4.7f, 5.0f};      // beyond the side line
    state.stones[12] = {2.375f, 4.88f};  // not delivered yet: ignored whatever it holds
    b2World world(b2Vec2(0.0f, 0.0f));
    SheetStones stones;
    ASSERT_TRUE(PlaceStones(stones, state, world));
    EXPECT_EQ(stones.count, 6);
    const std::vector<bool> placed = {false, false, false, true, true, false};
    for (int i = 0; i < StoneCount; ++i) {
        SCOPED_TRACE(testing::Message() << "stone " << i);
        const bool expected = i < 6 && placed[i];
        ASSERT_EQ(stones.bodies[i] != nullptr, expected);
        if (expected) {
            EXPECT_EQ(stones.bodies[i]->GetPosition().x, state.stones[i].x);
            EXPECT_EQ(stones.bodies[i]->GetPosition().y, state.stones[i].y);
            EXPECT_TRUE(stones.bodies[i]->IsAwake());
        }
    }
    EXPECT_EQ(world.GetBodyCount(), 2);
}

TEST(StonePlacement, ShotNumberBoundsAndTheThrownIndex) {
    struct Case {
        int shotNumber;
        bool accepted;
    };
    const std::vector<Case> cases = {{0, true},   {1, true},   {15, true},       {16, false},
                                     {17, false}, {-1, false}, {INT_MIN, false}, {INT_MAX, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "shotNumber " << c.shotNumber);
        const GameState state = RecordWithEveryStoneAt(2.375f, 8.0f, c.shotNumber);
        b2World world(b2Vec2(0.0f, 0.0f));
        SheetStones stones;
        EXPECT_EQ(PlaceStones(stones, state, world), c.accepted);
        const ShotVector shot{0.0f, -30.0f, 0, {}};
        EXPECT_EQ(ThrowStone(stones, world, shot), c.accepted);
        if (c.accepted) {
            EXPECT_EQ(world.GetBodyCount(), c.shotNumber + 1);
            EXPECT_EQ(stones.count, c.shotNumber + 1);
            ASSERT_NE(stones.bodies[c.shotNumber], nullptr);
            EXPECT_EQ(stones.bodies[c.shotNumber]->GetPosition().y, 41.28f);
        } else {
            EXPECT_EQ(world.GetBodyCount(), 0);
        }
    }
}

TEST(StonePlacement, ThrownStoneCarriesTheShotAndItsSpin) {
    struct Case {
        uint8_t curl;
        float spin;
    };
    for (const Case& c : {Case{0, 0.066696f}, Case{1, -0.066696f}, Case{2, -0.066696f}}) {
        SCOPED_TRACE(testing::Message() << "curl " << int{c.curl});
        b2World world(b2Vec2(0.0f, 0.0f));
        SheetStones stones;
        ASSERT_TRUE(PlaceStones(stones, GameState{}, world));
        ASSERT_TRUE(ThrowStone(stones, world, ShotVector{0.25f, -31.5f, c.curl, {}}));
        const b2Body* body = stones.bodies[0];
        ASSERT_NE(body, nullptr);
        EXPECT_EQ(body->GetPosition().x, 2.375f);
        EXPECT_EQ(body->GetPosition().y, 41.28f);
        EXPECT_EQ(body->GetLinearVelocity().x, 0.25f);
        EXPECT_EQ(body->GetLinearVelocity().y, -31.5f);
        EXPECT_EQ(body->GetAngularVelocity(), c.spin);
    }
}

}  // namespace
