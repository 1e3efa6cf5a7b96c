#include "search/best_shot.h"

#include "evaluation/position_evaluation.h"
#include "search/evaluate_tests.h"
#include "search/search_report.h"
#include "search/search_tables.h"
#include "tests/search/recording_simulator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <string>

namespace {

using search::CandidateIndex;

void PrepareWithValues(double value) {
    searchtest::PrepareRecorded();
    std::fill(std::begin(search::ValueTable.cells), std::end(search::ValueTable.cells), value);
}

// What a report writes to its log, as text.
template <typename Write>
std::string Captured(Write write) {
    std::FILE* file = std::tmpfile();
    write(file);
    std::string text(static_cast<std::size_t>(std::ftell(file)), '\0');
    std::rewind(file);
    text.resize(std::fread(text.data(), 1, text.size(), file));
    std::fclose(file);
    return text;
}

std::string Text(CandidateIndex c) {
    return std::to_string(c.curl) + "/" + std::to_string(c.row) + "/" + std::to_string(c.column);
}

TEST(TestPartition, CoversEveryTestRowExactlyOnce) {
    int uses[137] = {};  // strong rows 0..7, draw rows 94..136
    auto cellsOf = [&uses](const search::ExecutorShare& share) {
        std::for_each(share.strongRows, share.strongRows + share.strongRowCount,
                      [&uses](int row) { ++uses[row]; });
        std::for_each(uses + share.firstDrawRow, uses + share.lastDrawRow + 1, [](int& use) { ++use; });
        return 2 * 370 * share.strongRowCount +
               2 * 59 * std::max(0, share.lastDrawRow - share.firstDrawRow + 1);
    };
    EXPECT_EQ(cellsOf(search::DriverShare), 1834);
    for (int k = 0; k < search::WorkerCount; ++k) {
        EXPECT_EQ(cellsOf(search::WorkerShares[k]), k < 6 ? 740 : 472) << "worker " << k + 1;
    }
    EXPECT_EQ(std::count(uses, uses + 8, 1) + std::count(uses + 94, uses + 137, 1), 8 + 43);
    EXPECT_EQ(std::count(uses, uses + 137, 0), 137 - 8 - 43);
}

TEST(EvaluateTests, ValuesEveryCellAndLogsSixteenDoneFlags) {
    // An end that is over: every shot is refused, so each test values the unchanged position.
    GameState state{};
    state.shotNumber = 16;
    state.stones[3] = {2.375f, 4.88f};
    state.stones[4] = {2.375f, 5.5f};
    PrepareWithValues(std::numeric_limits<double>::quiet_NaN());
    testing::internal::CaptureStderr();
    search::EvaluateTests(state);
    std::string log = testing::internal::GetCapturedStderr();
    ASSERT_EQ(log.size(), 33u) << log;
    for (int k = 0; k < 16; ++k) {
        EXPECT_TRUE((log[2 * k] == '0' || log[2 * k] == '1') && log[2 * k + 1] == ',') << log;
    }
    EXPECT_EQ(log.back(), '\n');
    const double expected = evaluation::EvaluatePosition(state, 0);
    ASSERT_NE(expected, 0.0);
    EXPECT_EQ(std::count(std::begin(search::ValueTable.cells), std::end(search::ValueTable.cells), expected),
              search::ValueTable.CellCount);
}

TEST(CandidateChoice, TiesGoToTheCandidateMetFirstAndKernelSumsDecide) {
    // A hot test cell makes the candidate aimed at it the best of its region, with the centre weight.
    const double strong = search::StrongKernel[7];
    const double draw = search::DrawKernelY[6] * search::DrawKernelX[3];
    struct Hot {
        int curl, row, column;
        double value;  // 0: none
    };
    struct Case {
        const char* name;
        double everywhere;
        Hot a, b;
        CandidateIndex chosen;
        double successRate;  // in both window reports; negative: not checked
    } cases[] = {
        {"all zero: a window's rate is its weights' sum", 0.0, {}, {}, {0, 0, 0}, 0.997299},
        {"all negative: strong weights sum lower", -1.5, {}, {}, {0, 0, 0}, 0.0},
        {"all positive: draw weights sum higher", 2.0, {}, {}, {0, 100, 0}, -1},
        {"curl 0 first", 0.0, {1, 3, 107, 1.0}, {0, 3, 207, 1.0}, {0, 3, 200}, -1},
        {"strong row before draw grid", 0.0, {1, 120, 10, strong}, {1, 5, 50, draw}, {1, 5, 43}, -1},
        {"draw grid of curl 0 first", 0.0, {1, 2, 50, draw}, {0, 110, 20, strong}, {0, 110, 17}, -1},
        {"lower row first", 0.0, {0, 7, 30, 1.0}, {0, 6, 40, 1.0}, {0, 6, 33}, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PrepareWithValues(c.everywhere);
        for (const Hot& hot : {c.a, c.b}) {
            if (hot.value != 0.0) {
                search::ValueTable(hot.curl, hot.row, hot.column) = hot.value;
            }
        }
        search::Selection selection = search::ChooseCandidate();
        EXPECT_TRUE(selection.chosenFound);
        EXPECT_EQ(Text(selection.chosen), Text(c.chosen));
        if (c.successRate >= 0.0) {
            std::string report =
                Captured([&](std::FILE* log) { search::WriteSelectionReport(log, selection); });
            char line[64];
            std::snprintf(line, sizeof(line), "shot success rate: %f\n", c.successRate);
            EXPECT_EQ(Text(selection.rawBest), "0/0/0");
            EXPECT_NE(report.find(line, report.find(line) + 1), std::string::npos) << report;
        }
    }
}

TEST(CandidateChoice, WithoutAnyNumberItAnswersTheFirstCandidate) {
    PrepareWithValues(std::numeric_limits<double>::quiet_NaN());
    search::Selection selection = search::ChooseCandidate();
    EXPECT_FALSE(selection.chosenFound || selection.rawFound);
    EXPECT_EQ(Text(selection.chosen) + " " + Text(selection.rawBest), "0/0/0 0/0/0");
    std::string report = Captured([&](std::FILE* log) { search::WriteSelectionReport(log, selection); });
    EXPECT_NE(report.find("answering the first candidate"), std::string::npos);
    EXPECT_NE(report.find("Out: (0.500, -6.039, 0)"), std::string::npos) << report;
}

TEST(SearchReport, WindowsPrintOffsetsWeightsValuesAndTheirMaximum) {
    PrepareWithValues(1.5);
    search::ValueTable(0, 2, 14) = -0.25;
    std::string strong = Captured([](std::FILE* log) {
        search::WriteWindowReport(log, {0, 2, 0}, 1.0, nullptr);
    });
    EXPECT_EQ(std::count(strong.begin(), strong.end(), '\n'), 15);
    EXPECT_EQ(strong.substr(0, strong.find('\n') + 1), "-2.80(0.003311): +1.500000\n");
    EXPECT_NE(strong.find("\n-0.40(0.146487): +1.500000\n+0.00(0.158519): +1.500000\n"), std::string::npos)
        << strong;
    EXPECT_EQ(strong.substr(strong.rfind('\n', strong.size() - 2) + 1), "+2.80(0.003311): -0.250000\n");

    // Two equal largest values in one draw window: the first met (lower row) is reported.
    search::ValueTable(0, 112, 12) = 3.0;
    search::ValueTable(0, 114, 11) = 3.0;
    search::ValueTable(0, 119, 16) = -2.0;
    search::WindowMaximum maximum;
    double rate = 0.0;
    std::string draw = Captured([&](std::FILE* log) {
        rate = search::WriteWindowReport(log, {0, 113, 10}, 2.0, &maximum);
    });
    EXPECT_EQ(std::count(draw.begin(), draw.end(), '\n'), 13);
    EXPECT_EQ(draw.substr(0, draw.find('\n') + 1),
              "+1.500000 +1.500000 +1.500000 +1.500000 +1.500000 +1.500000 +1.500000 \n");
    EXPECT_EQ(draw.substr(draw.rfind('\n', draw.size() - 2) + 1),
              "+1.500000 +1.500000 +1.500000 +1.500000 +1.500000 +1.500000 -2.000000 \n");
    EXPECT_EQ(maximum.value, 3.0);
    EXPECT_TRUE(maximum.x == search::TestTargets(0, 112, 12).x &&
                maximum.y == search::TestTargets(0, 112, 12).y);
    EXPECT_NEAR(rate, 0.174666 * 0.24173 + 0.174666 * 0.060598, 1e-12);
}

}  // namespace
