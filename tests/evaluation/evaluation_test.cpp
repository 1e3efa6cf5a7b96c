#include "evaluation/house_scoring.h"
#include "evaluation/position_evaluation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <utility>

namespace {

constexpr records::StonePosition Tee{2.375f, 4.88f};
// Squared tee distance exactly the house reach in single arithmetic: the farthest point that is out.
constexpr records::StonePosition OnHouseEdge{4.35f, 0x1.385bbap+2f};

records::StonePosition BehindTee(float distance) {
    return {Tee.x, Tee.y + distance};
}

// A record with `shotNumber` delivered stones; stones not listed stay at (0, 0).
records::GameState Record(int shotNumber,
                          std::initializer_list<std::pair<int, records::StonePosition>> stones) {
    records::GameState state{};
    state.shotNumber = shotNumber;
    for (const auto& [index, position] : stones) {
        state.stones[index] = position;
    }
    return state;
}

TEST(EndScore, CountsTheClosestTeamsRunUntilTheFirstOtherStone) {
    records::GameState eightUp = Record(16, {});
    for (int i = 0; i < records::StoneCount; ++i) {
        eightUp.stones[i] = BehindTee(i % 2 == 1 ? 0.1f * static_cast<float>(i) : 1.9f);
    }
    const struct {
        const char* name;
        records::GameState state;
        int score;
    } cases[] = {
        {"one delivered stone is never sorted", Record(1, {{0, BehindTee(1.9f)}, {1, Tee}}), 1},
        {"a NaN stone never moves", Record(3, {{0, {NAN, 1.0f}}, {1, BehindTee(0.5f)}}), 0},
        {"shotNumber above 16 sorts all 16", Record(1000, {{15, Tee}, {14, BehindTee(0.1f)}}), -1},
        {"stones 3, 5, 7, then 2: the walk stops at the other team",
         Record(10, {{3, BehindTee(0.1f)},
                     {5, BehindTee(0.2f)},
                     {7, BehindTee(-0.3f)},
                     {2, BehindTee(0.5f)},
                     {9, BehindTee(0.6f)}}),
         -3},
        {"a tie goes to the lower index", Record(6, {{3, BehindTee(0.5f)}, {4, BehindTee(-0.5f)}}), -1},
        {"eight of one team", eightUp, -8},
        {"the exact house edge is out", Record(2, {{0, OnHouseEdge}}), 0},
        {"a stone short of the house stops the run", Record(3, {{0, Tee}, {1, BehindTee(2.0f)}, {2, Tee}}),
         2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(evaluation::EndScore(c.state), c.score);
    }
}

TEST(PositionEvaluation, WeighsEveryHouseStoneByRankAndDistance) {
    records::GameState fullHouse = Record(16, {});
    for (records::StonePosition& stone : fullHouse.stones) {
        stone = Tee;
    }
    const struct {
        const char* name;
        records::GameState state;
        int side;
        double value;
    } cases[] = {
        {"other team's stone on the tee", Record(1, {{0, Tee}}), 1, -5.0},
        {"second stone 1.5 out", Record(2, {{0, Tee}, {1, {3.875f, 4.88f}}}), 0, 2.27891156},
        // All 16 on the tee keep index order: alternating signs, ranks 2..17.
        {"all sixteen stones count", fullHouse, 0, 2.7830462021638485},
        {"an edge stone ends the walk", Record(2, {{0, Tee}, {1, OnHouseEdge}, {2, Tee}}), 0, 5.0},
        {"one delivered stone is not sorted", Record(1, {{0, BehindTee(1.0f)}, {1, Tee}}), 0,
         50.0 / 11.0 - 100.0 / 3.0 / 10.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_NEAR(evaluation::EvaluatePosition(c.state, c.side), c.value, 1e-8);
    }
}

TEST(ShotOutcomeValue, LastStoneOfAnEndIsValuedByTheScoreOtherwiseByEvaluation) {
    EXPECT_EQ(evaluation::ShotOutcomeValue(15, Record(16, {{0, Tee}, {2, BehindTee(0.3f)}})), -2.0);
    EXPECT_FALSE(std::signbit(evaluation::ShotOutcomeValue(15, Record(16, {}))))
        << "a blank end prints as -0";
    // Before the last stone: the evaluation for the team that delivered, by the searched shotNumber.
    const records::GameState after = Record(16, {{0, Tee}, {1, BehindTee(0.8f)}});
    EXPECT_EQ(evaluation::ShotOutcomeValue(3, after), evaluation::EvaluatePosition(after, 1));
    EXPECT_EQ(evaluation::ShotOutcomeValue(14, after), evaluation::EvaluatePosition(after, 0));
}

}  // namespace
