#include "evaluation/house_scoring.h"

#include "tests/evaluation/record_builder.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace {

using evaluationtest::BehindTee;
using evaluationtest::InsideHouseEdge;
using evaluationtest::OnHouseEdge;
using evaluationtest::Record;
using evaluationtest::Tee;

std::string OrderText(const records::GameState& state) {
    int order[records::StoneCount];
    evaluation::SortStonesByDistance(state, order);
    std::string text;
    for (int stone : order) {
        text += std::to_string(stone) + " ";
    }
    return text;
}

const std::string Identity = "0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 ";

TEST(HouseOrder, SortsOnlyTheDeliveredStonesAndKeepsTiesInIndexOrder) {
    struct Case {
        const char* name;
        records::GameState state;
        std::string order;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Case cases[] = {
        {"nothing delivered", Record(0, {{5, Tee}}), Identity},
        {"one delivered stone is never sorted", Record(1, {{0, BehindTee(1.0f)}, {3, Tee}}), Identity},
        {"closest first, ties and the tail in index order",
         Record(4, {{0, BehindTee(1.0f)}, {1, BehindTee(0.5f)}, {2, BehindTee(-0.5f)}, {4, Tee}}),
         "1 2 0 3 4 5 6 7 8 9 10 11 12 13 14 15 "},
        {"NaN never moves and nothing passes it",
         Record(3, {{0, {nan, 1.0f}}, {1, BehindTee(0.5f)}, {2, BehindTee(0.1f)}}),
         "0 2 1 3 4 5 6 7 8 9 10 11 12 13 14 15 "},
        {"shotNumber above 16 sorts all 16", Record(1000, {{15, Tee}, {14, BehindTee(0.1f)}}),
         "15 14 0 1 2 3 4 5 6 7 8 9 10 11 12 13 "},
        {"negative shotNumber sorts nothing", Record(-7, {{15, Tee}}), Identity},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(OrderText(c.state), c.order);
    }
}

TEST(EndScore, CountsTheClosestTeamsRunUntilTheFirstOtherStone) {
    struct Case {
        const char* name;
        records::GameState state;
        int score;
    };
    records::GameState eightUp = Record(16, {});
    for (int i = 0; i < records::StoneCount; ++i) {
        eightUp.stones[i] = BehindTee(i % 2 == 1 ? 0.1f * static_cast<float>(i) : 1.9f);
    }
    const Case cases[] = {
        {"empty sheet", Record(16, {}), 0},
        {"odd stones count for the other team", Record(2, {{1, BehindTee(1.0f)}}), -1},
        // Stones 3, 5 and 7 closest, then stone 2, then stone 9, all in the house.
        {"walk stops at the other team",
         Record(10,
                {{3, BehindTee(0.1f)}, {5, BehindTee(0.2f)}, {7, BehindTee(-0.3f)}, {2, BehindTee(0.5f)}}),
         -3},
        {"tie goes to the lower index, even", Record(6, {{2, BehindTee(0.5f)}, {5, BehindTee(-0.5f)}}), 1},
        {"tie goes to the lower index, odd", Record(6, {{3, BehindTee(0.5f)}, {4, BehindTee(-0.5f)}}), -1},
        {"eight of one team", eightUp, -8},
        {"exact house edge is out", Record(2, {{0, OnHouseEdge}}), 0},
        {"just inside the edge is in", Record(2, {{1, InsideHouseEdge}}), -1},
        {"a stone short of the house stops the run", Record(3, {{0, Tee}, {1, BehindTee(2.0f)}, {2, Tee}}),
         2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(evaluation::EndScore(c.state), c.score);
    }
}

}  // namespace
