#include "evaluation/position_evaluation.h"

#include "tests/evaluation/record_builder.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using evaluationtest::BehindTee;
using evaluationtest::OnHouseEdge;
using evaluationtest::Record;
using evaluationtest::Tee;

TEST(PositionEvaluation, WeighsEveryHouseStoneByRankAndDistance) {
    struct Case {
        const char* name;
        GameState state;
        int side;
        double value;
    };
    GameState fullHouse = Record(16, {});
    for (StonePosition& stone : fullHouse.stones) {
        stone = Tee;
    }
    const Case cases[] = {
        {"empty house", Record(16, {{0, BehindTee(2.0f)}}), 0, 0.0},
        {"own stone on the tee", Record(1, {{0, Tee}}), 0, 5.0},
        {"other team's stone on the tee", Record(1, {{0, Tee}}), 1, -5.0},
        {"second stone 1.5 out", Record(2, {{0, Tee}, {1, {3.875f, 4.88f}}}), 0, 2.27891156},
        // All 16 on the tee keep index order: alternating signs, ranks 2..17.
        {"all sixteen stones count", fullHouse, 0, 2.7830462021638485},
        {"an edge stone ends the walk", Record(2, {{0, Tee}, {1, OnHouseEdge}, {2, Tee}}), 0, 5.0},
        // With one delivered stone the walk takes stone 0 first although stone 1 is nearer.
        {"one delivered stone is not sorted", Record(1, {{0, BehindTee(1.0f)}, {1, Tee}}), 0,
         50.0 / 11.0 - 100.0 / 3.0 / 10.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_NEAR(evaluation::EvaluatePosition(c.state, c.side), c.value, 1e-8);
    }
}

TEST(PositionEvaluation, NearerOpposingStoneOutweighsOwnSecondStone) {
    for (float near : {0.0f, 0.5f, 1.2f}) {
        SCOPED_TRACE(near);
        GameState state = Record(2, {{1, BehindTee(near)}, {0, BehindTee(near + 0.3f)}});
        EXPECT_LT(evaluation::EvaluatePosition(state, 0), 0.0);
        EXPECT_GT(evaluation::EvaluatePosition(state, 1), 0.0);
    }
}

TEST(ShotOutcomeValue, LastStoneOfAnEndIsValuedByTheScoreOtherwiseByEvaluation) {
    GameState evenTwoUp = Record(16, {{0, Tee}, {2, BehindTee(0.3f)}, {1, BehindTee(1.5f)}});
    EXPECT_EQ(evaluation::ShotOutcomeValue(15, evenTwoUp), -2.0);

    GameState blank = Record(16, {});
    double blankValue = evaluation::ShotOutcomeValue(15, blank);
    EXPECT_EQ(blankValue, 0.0);
    EXPECT_FALSE(std::signbit(blankValue)) << "a blank end must not print as -0";

    for (int before : {0, 3, 14}) {
        SCOPED_TRACE(before);
        GameState after = Record(before + 1, {{0, Tee}, {1, BehindTee(0.8f)}});
        EXPECT_EQ(evaluation::ShotOutcomeValue(before, after),
                  evaluation::EvaluatePosition(after, before % 2));
    }
}

}  // namespace
