#include "physics/simulate_shot.h"

#include "physics/sheet.h"
#include "physics/stone_motion.h"
#include "records/sheet.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

using physics::SimulateShot;

// Shots and stone spots found once on this model: the strong shot strikes a stone at the guard spot
// (or at the house spot) full and sends it off the back of the sheet; the draw strikes a stone at the
// soft-guard spot and pushes it into the house.
constexpr records::ShotVector StrongShot{-0.3f, -40.0f, 0, {}};
constexpr records::StonePosition StrongGuardSpot{2.466f, 8.0f};
constexpr records::StonePosition StrongHouseSpot{2.52f, 4.88f};
constexpr records::ShotVector SoftShot{0.0f, -29.6f, 0, {}};
constexpr records::StonePosition SoftGuardSpot{3.228f, 8.0f};

bool SamePosition(const records::StonePosition& a, const records::StonePosition& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

records::GameState RecordBeforeShot(int shotNumber) {
    records::GameState state{};
    state.shotNumber = shotNumber;
    state.currentEnd = 7;
    state.setStateArg3 = -3;
    for (int i = 0; i < records::EndScoreSlots; ++i) {
        state.endScores[i] = i - 4;
    }
    state.turnFlag = true;
    return state;
}

TEST(SimulateShot, RefusesShotNumbersOutsideTheEnd) {
    for (int shotNumber : {0, 15, 16, 17, INT_MAX, -1, INT_MIN}) {
        SCOPED_TRACE(testing::Message() << "shotNumber " << shotNumber);
        records::GameState state = RecordBeforeShot(shotNumber);
        state.stones[0] = {2.375f, 4.88f};
        const records::GameState before = state;
        const bool accepted = shotNumber >= 0 && shotNumber <= 15;
        EXPECT_EQ(SimulateShot(state, SoftShot), accepted);
        if (accepted) {
            EXPECT_EQ(state.shotNumber, shotNumber + 1);
        } else {
            EXPECT_EQ(std::memcmp(&state, &before, sizeof state), 0);
        }
    }
}

// Only delivered stones in play are placed; every other stone, and every stone that leaves the sheet,
// comes back as (0, 0). A delivery without a finite speed stays at the delivery point.
TEST(SimulateShot, PlacesStonesInPlayAndWritesBackWhatRemains) {
    const records::StonePosition origin{0.0f, 0.0f};
    const records::StonePosition delivery{2.375f, 41.28f};
    struct Case {
        const char* name;
        records::ShotVector shot;
        bool rests;  // the thrown stone stays on the sheet at its lone resting point
    };
    const std::vector<Case> cases = {
        {"infinite speed", {0.0f, -INFINITY, 0, {}}, false},
        {"speed not a number", {0.0f, NAN, 0, {}}, false},
        {"squared speed overflows", {0.0f, -1e30f, 0, {}}, false},
        {"draw to the house", {0.0f, -29.57f, 0, {}}, true},
        {"stops short of the hog line", {0.0f, -22.6f, 1, {}}, true},
        {"through the back of the sheet", {0.0f, -36.0f, 0, {}}, false},
        {"off the side", {6.0f, -20.0f, 0, {}}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        records::GameState state = RecordBeforeShot(6);
        state.stones[0] = {0.0f, 0.0f};      // removed earlier
        state.stones[1] = {2.375f, 11.2f};   // short of the hog line
        state.stones[2] = {2.375f, 2.9f};    // behind the back bound of play
        state.stones[3] = {0.5f, 3.0f};      // behind the back line but still in play
        state.stones[4] = {1.0f, 8.0f};      // guard
        state.stones[5] = {4.7f, 5.0f};      // beyond the side line
        state.stones[12] = {2.375f, 4.88f};  // not delivered yet
        const records::GameState before = state;
        ASSERT_TRUE(SimulateShot(state, c.shot));
        const bool finite = std::isfinite(c.shot.vy * c.shot.vy);
        const records::StonePosition thrown =
            !finite ? delivery : (c.rests ? physics::LoneStoneRestingPoint(c.shot) : origin);
        for (int i = 0; i < records::StoneCount; ++i) {
            SCOPED_TRACE(testing::Message() << "stone " << i);
            const records::StonePosition expected =
                i == 6 ? thrown : (i == 3 || i == 4 ? before.stones[i] : origin);
            EXPECT_TRUE(SamePosition(state.stones[i], expected));
        }
        EXPECT_EQ(state.shotNumber, 7);
        EXPECT_FALSE(state.turnFlag);
        EXPECT_EQ(state.currentEnd, before.currentEnd);
        EXPECT_EQ(state.setStateArg3, before.setStateArg3);
        EXPECT_EQ(std::memcmp(state.endScores, before.endScores, sizeof state.endScores), 0);
    }
}

// The knocked-out cases are also the collisions that move a stone out of play.
TEST(SimulateShot, FreeGuardZoneRule) {
    struct Case {
        const char* name;
        int shotNumber;
        int target;  // index of the stone in the shot's path
        records::StonePosition spot;
        records::ShotVector shot;
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
        records::GameState state = RecordBeforeShot(c.shotNumber);
        for (int i = 0; i < c.shotNumber; ++i) {
            state.stones[i] = {0.5f, 20.0f};  // short of the hog line: kept only by a breach
        }
        state.stones[c.target] = c.spot;
        state.stones[15] = {4.0f, 4.0f};  // not delivered yet
        records::GameState before = state;
        ASSERT_TRUE(SimulateShot(state, c.shot));
        EXPECT_EQ(state.shotNumber, c.shotNumber + 1);
        // The reference play with its frames writes the same record and shows the play as it went.
        records::GameState framed = before;
        std::vector<physics::PlayFrame> frames;
        ASSERT_TRUE(physics::SimulateShotFrames(framed, c.shot, frames));
        EXPECT_EQ(framed.shotNumber, state.shotNumber);
        EXPECT_EQ(std::memcmp(framed.stones, state.stones, sizeof state.stones), 0);
        EXPECT_TRUE(
            SamePosition(frames.front().position[c.shotNumber], {records::DeliveryX, records::DeliveryY}));
        EXPECT_EQ(frames.back().present[c.target], c.struckStaysInPlay);
        EXPECT_FALSE(state.turnFlag);
        if (c.breach) {
            before.stones[c.shotNumber] = {0.0f, 0.0f};
            EXPECT_EQ(std::memcmp(state.stones, before.stones, sizeof state.stones), 0);
            continue;
        }
        const records::StonePosition& struck = state.stones[c.target];
        if (c.struckStaysInPlay) {
            EXPECT_TRUE(physics::ClassifyStonePosition(struck.x, struck.y).inHouse);
        } else {
            EXPECT_TRUE(SamePosition(struck, records::StonePosition{0.0f, 0.0f}));
        }
        for (int i = 0; i < records::StoneCount; ++i) {
            if (i != c.target && i != c.shotNumber) {
                SCOPED_TRACE(testing::Message() << "stone " << i);
                EXPECT_TRUE(SamePosition(state.stones[i], records::StonePosition{0.0f, 0.0f}));
            }
        }
        EXPECT_TRUE(physics::ClassifyStonePosition(state.stones[c.shotNumber].x, state.stones[c.shotNumber].y)
                        .inPlay);
    }
}

}  // namespace
