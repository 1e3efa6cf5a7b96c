#include "physics/simulate_shot.h"

#include "physics/sheet.h"
#include "physics/stone_motion.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

namespace {

using physics::SimulateShot;

// Shots and stone spots found once on this model: the strong shot strikes a stone at the guard spot
// (or at the house spot) full and sends it off the back of the sheet; the draw strikes a stone at the
// soft-guard spot and pushes it into the house.
constexpr ShotVector StrongShot{-0.3f, -40.0f, 0, {}};
constexpr StonePosition StrongGuardSpot{2.466f, 8.0f};
constexpr StonePosition StrongHouseSpot{2.52f, 4.88f};
constexpr ShotVector SoftShot{0.0f, -29.6f, 0, {}};
constexpr StonePosition SoftGuardSpot{3.228f, 8.0f};

bool SamePosition(const StonePosition& a, const StonePosition& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

GameState RecordBeforeShot(int shotNumber) {
    GameState state{};
    state.shotNumber = shotNumber;
    state.currentEnd = 7;
    state.setStateArg3 = -3;
    for (int i = 0; i < EndScoreSlots; ++i) {
        state.endScores[i] = i - 4;
    }
    state.turnFlag = true;
    return state;
}

TEST(SimulateShot, RefusesShotNumbersOutsideTheEnd) {
    for (int shotNumber : {16, 17, 1000, INT_MAX, -1, -16, INT_MIN}) {
        SCOPED_TRACE(testing::Message() << "shotNumber " << shotNumber);
        GameState state = RecordBeforeShot(shotNumber);
        state.stones[0] = {2.375f, 4.88f};
        const GameState before = state;
        EXPECT_FALSE(SimulateShot(state, SoftShot));
        EXPECT_EQ(std::memcmp(&state, &before, sizeof state), 0);
    }
}

TEST(SimulateShot, LoneShotMatchesTheWorldFreeMotion) {
    const std::vector<ShotVector> shots = {
        {0.0f, -29.57f, 0, {}}, {0.0f, -29.57f, 1, {}}, {0.41f, -28.3f, 1, {}},
        {-0.6f, -30.2f, 0, {}}, {0.05f, -22.6f, 0, {}}, {0.0f, -30.0f, 1, {}},
    };
    for (const ShotVector& shot : shots) {
        SCOPED_TRACE(testing::Message()
                     << "shot " << shot.vx << ", " << shot.vy << " curl " << int{shot.curl});
        const StonePosition expected = physics::LoneStoneRestingPoint(shot);
        ASSERT_FALSE(physics::IsOffSheet(physics::ClassifyStonePosition(expected.x, expected.y)));
        GameState state = RecordBeforeShot(0);
        EXPECT_TRUE(SimulateShot(state, shot));
        EXPECT_TRUE(SamePosition(state.stones[0], expected));
        EXPECT_EQ(state.shotNumber, 1);
    }
}

TEST(SimulateShot, WritesBackOnlyStonesStillInTheWorld) {
    struct Case {
        const char* name;
        ShotVector shot;
        bool thrownStoneKept;
    };
    const std::vector<Case> cases = {
        {"draw to the house", {0.0f, -29.57f, 0, {}}, true},
        {"stops short of the hog line", {0.0f, -22.6f, 1, {}}, true},
        {"through the back of the sheet", {0.0f, -36.0f, 0, {}}, false},
        {"off the side", {6.0f, -20.0f, 0, {}}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GameState state = RecordBeforeShot(1);
        state.stones[0] = {2.375f, 20.0f};  // delivered, short of the hog line: never placed
        for (int i = 2; i < StoneCount; ++i) {
            state.stones[i] = {2.0f, 5.0f};  // not delivered yet
        }
        const GameState before = state;
        ASSERT_TRUE(SimulateShot(state, c.shot));
        const StonePosition origin{0.0f, 0.0f};
        for (int i = 0; i < StoneCount; ++i) {
            SCOPED_TRACE(testing::Message() << "stone " << i);
            if (i == 1 && c.thrownStoneKept) {
                EXPECT_TRUE(SamePosition(state.stones[i], physics::LoneStoneRestingPoint(c.shot)));
            } else {
                EXPECT_TRUE(SamePosition(state.stones[i], origin));
            }
        }
        EXPECT_EQ(state.shotNumber, 2);
        EXPECT_FALSE(state.turnFlag);
        EXPECT_EQ(state.currentEnd, before.currentEnd);
        EXPECT_EQ(state.setStateArg3, before.setStateArg3);
        EXPECT_EQ(std::memcmp(state.endScores, before.endScores, sizeof state.endScores), 0);
    }
}

TEST(SimulateShot, CollisionMovesAStoneOutOfPlay) {
    GameState state = RecordBeforeShot(4);
    state.stones[2] = StrongGuardSpot;
    ASSERT_TRUE(SimulateShot(state, StrongShot));
    EXPECT_TRUE(SamePosition(state.stones[2], StonePosition{0.0f, 0.0f}));
    const physics::StoneZone thrown = physics::ClassifyStonePosition(state.stones[4].x, state.stones[4].y);
    EXPECT_TRUE(thrown.inGuardZone);  // the striker stops about where it hit
    EXPECT_EQ(state.shotNumber, 5);
}

TEST(SimulateShot, ShotWithoutAFiniteSpeedLeavesTheOtherStonesAlone) {
    for (float vy : {-INFINITY, NAN, -1e30f}) {
        SCOPED_TRACE(testing::Message() << "vy " << vy);
        GameState state = RecordBeforeShot(5);
        state.stones[0] = {2.375f, 4.88f};
        state.stones[2] = {2.2f, 8.0f};
        const GameState before = state;
        ASSERT_TRUE(SimulateShot(state, ShotVector{0.0f, vy, 0, {}}));
        EXPECT_TRUE(SamePosition(state.stones[0], before.stones[0]));
        EXPECT_TRUE(SamePosition(state.stones[2], before.stones[2]));
        EXPECT_TRUE(SamePosition(state.stones[5], StonePosition{2.375f, 41.28f}));
    }
}

TEST(SimulateShot, FreeGuardZoneRule) {
    struct Case {
        const char* name;
        int shotNumber;
        int target;  // index of the stone in the shot's path
        StonePosition spot;
        ShotVector shot;
        bool breach;
        bool struckStaysInPlay;  // when there is no breach
    };
    const std::vector<Case> cases = {
        {"other team's guard knocked out", 3, 0, StrongGuardSpot, StrongShot, true, false},
        {"other team's second guard knocked out", 3, 2, StrongGuardSpot, StrongShot, true, false},
        {"first stone's guard knocked out by the second", 1, 0, StrongGuardSpot, StrongShot, true, false},
        {"other team's guard pushed into the house", 3, 0, SoftGuardSpot, SoftShot, false, true},
        {"other team's house stone knocked out", 3, 0, StrongHouseSpot, StrongShot, false, false},
        {"own guard knocked out", 2, 0, StrongGuardSpot, StrongShot, false, false},
        {"fifth stone knocks out a guard", 4, 1, StrongGuardSpot, StrongShot, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GameState state = RecordBeforeShot(c.shotNumber);
        for (int i = 0; i < c.shotNumber; ++i) {
            state.stones[i] = {0.5f, 20.0f};  // short of the hog line: kept only by a breach
        }
        state.stones[c.target] = c.spot;
        state.stones[15] = {4.0f, 4.0f};  // not delivered yet
        GameState before = state;
        ASSERT_TRUE(SimulateShot(state, c.shot));
        EXPECT_EQ(state.shotNumber, c.shotNumber + 1);
        EXPECT_FALSE(state.turnFlag);
        if (c.breach) {
            before.stones[c.shotNumber] = {0.0f, 0.0f};
            EXPECT_EQ(std::memcmp(state.stones, before.stones, sizeof state.stones), 0);
            continue;
        }
        const StonePosition& struck = state.stones[c.target];
        if (c.struckStaysInPlay) {
            EXPECT_TRUE(physics::ClassifyStonePosition(struck.x, struck.y).inHouse);
        } else {
            EXPECT_TRUE(SamePosition(struck, StonePosition{0.0f, 0.0f}));
        }
        for (int i = 0; i < StoneCount; ++i) {
            if (i != c.target && i != c.shotNumber) {
                SCOPED_TRACE(testing::Message() << "stone " << i);
                EXPECT_TRUE(SamePosition(state.stones[i], StonePosition{0.0f, 0.0f}));
            }
        }
        EXPECT_TRUE(physics::ClassifyStonePosition(state.stones[c.shotNumber].x, state.stones[c.shotNumber].y)
                        .inPlay);
    }
}

}  // namespace
