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
        records::GameState state;
        int side;
        double value;
    };
    records::GameState fullHouse = Record(16, {});
    for (records::StonePosition& stone : fullHouse.stones) {
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

TEST(ShotOutcomeValue, LastStoneOfAnEndIsValuedByTheScoreOtherwiseByEvaluation) {
    records::GameState evenTwoUp = Record(16, {{0, Tee}, {2, BehindTee(0.3f)}, {1, BehindTee(1.5f)}});
    EXPECT_EQ(evaluation::ShotOutcomeValue(15, evenTwoUp), -2.0);

    records::GameState blank = Record(16, {});
    double blankValue = evaluation::ShotOutcomeValue(15, blank);
    EXPECT_EQ(blankValue, 0.0);
    EXPECT_FALSE(std::signbit(blankValue)) << "a blank end must not print as -0";

    // Before the last stone: the evaluation for the team that delivered, by the searched shotNumber.
    records::GameState after = Record(16, {{0, Tee}, {1, BehindTee(0.8f)}});
    EXPECT_EQ(evaluation::ShotOutcomeValue(3, after), evaluation::EvaluatePosition(after, 1));
    EXPECT_EQ(evaluation::ShotOutcomeValue(14, after), evaluation::EvaluatePosition(after, 0));
}

}  // namespace
