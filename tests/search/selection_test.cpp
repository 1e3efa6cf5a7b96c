#include "search/search.h"

#include "evaluation/position_evaluation.h"
#include "search/evaluate_tests.h"
#include "tests/search/recording_simulator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

namespace {

using search::CandidateIndex;
using searchtest::Captured;

std::string Text(CandidateIndex c) {
    return std::to_string(c.curl) + "/" + std::to_string(c.row) + "/" + std::to_string(c.column);
}

struct Prepared {
    search::Search search;
    explicit Prepared(double value) {
        searchtest::PrepareRecorded(search);
        std::fill(std::begin(search.Values().cells), std::end(search.Values().cells), value);
    }
    search::Selection Choose() { return search::ChooseCandidate(search.GetTables(), search.Values()); }
    std::string Report(const search::Selection& selection) {
        const search::SelectionReport report =
            search::SummariseSelection(search.GetTables(), search.Values(), selection);
        return Captured([&](std::FILE* log) {
            search::WriteSelectionReport(log, search.GetTables(), search.Values(), selection, report);
        });
    }
};

TEST(TestBlocks, CoverEveryTestCellExactlyOnce) {
    std::vector<int> uses(search::ValueTable::CellCount, 0);
    for (int index = 0; index < search::BlockCount(); ++index) {
        const search::CellBlock block = search::BlockAt(index);
        const int width = block.endColumn - block.firstColumn;
        ASSERT_TRUE(width > 0 && width <= search::BlockColumns) << "block " << index;
        for (int column = block.firstColumn; column < block.endColumn; ++column) {
            ASSERT_TRUE(search::ValueTable::Contains(block.curl, block.row, column)) << "block " << index;
            ++uses[static_cast<std::size_t>(search::ValueTable::Index(block.curl, block.row, column))];
        }
    }
    EXPECT_EQ(std::count(uses.begin(), uses.end(), 1), search::ValueTable::CellCount);
}

TEST(EvaluateTests, ValuesEveryCellAndLogsSixteenDoneFlags) {
    // An end that is over: every shot is refused, so each test values the unchanged position.
    records::GameState state{};
    state.shotNumber = 16;
    state.stones[3] = {2.375f, 4.88f};
    state.stones[4] = {2.375f, 5.5f};
    Prepared prepared(std::numeric_limits<double>::quiet_NaN());
    std::atomic<int> testsDone{0};
    std::string log = Captured([&](std::FILE* file) {
        prepared.search.EvaluateTests(state, file, physics::SimulationPath::Fast, &testsDone);
    });
    EXPECT_EQ(testsDone.load(), search::ValueTable::CellCount);
    EXPECT_EQ(log.size(), 33u);
    EXPECT_EQ(log.find_first_not_of("01,"), 32u) << log;
    const double expected = evaluation::EvaluatePosition(state, 0);
    ASSERT_NE(expected, 0.0);
    const search::ValueTable& values = prepared.search.Values();
    EXPECT_EQ(std::count(std::begin(values.cells), std::end(values.cells), expected), values.CellCount);
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
        Prepared prepared(c.everywhere);
        for (const Hot& hot : {c.a, c.b}) {
            if (hot.value != 0.0) {
                prepared.search.Values()(hot.curl, hot.row, hot.column) = hot.value;
            }
        }
        search::Selection selection = prepared.Choose();
        EXPECT_EQ(Text(selection.chosen), Text(c.chosen));
        // The table the studio draws holds the same numbers: the chosen one is its first maximum.
        search::ExpectedTable expected;
        search::Selection again =
            search::ChooseCandidate(prepared.search.GetTables(), prepared.search.Values(), &expected);
        const double* first = std::max_element(std::begin(expected.cells), std::end(expected.cells));
        EXPECT_EQ(first - expected.cells,
                  search::ExpectedTable::Index(c.chosen.curl, c.chosen.row, c.chosen.column));
        EXPECT_EQ(expected(again.rawBest.curl, again.rawBest.row, again.rawBest.column),
                  again.rawBestExpected);
        if (c.successRate >= 0.0) {
            std::string report = prepared.Report(selection);
            char line[64];
            std::snprintf(line, sizeof(line), "shot success rate: %f\n", c.successRate);
            EXPECT_EQ(Text(selection.rawBest), "0/0/0");
            EXPECT_NE(report.find(line, report.find(line) + 1), std::string::npos) << report;
        }
    }
}

TEST(CandidateChoice, WithoutAnyNumberItAnswersTheFirstCandidate) {
    Prepared prepared(std::numeric_limits<double>::quiet_NaN());
    search::Selection selection = prepared.Choose();
    EXPECT_FALSE(selection.chosenFound || selection.rawFound);
    EXPECT_EQ(Text(selection.chosen) + " " + Text(selection.rawBest), "0/0/0 0/0/0");
    std::string report = prepared.Report(selection);
    EXPECT_NE(report.find("answering the first candidate"), std::string::npos);
    EXPECT_NE(report.find("Out: (0.500, -6.039, 0)"), std::string::npos) << report;
}

TEST(SearchReport, WindowsPrintOffsetsWeightsValuesAndTheirMaximum) {
    Prepared prepared(1.5);
    search::ValueTable& values = prepared.search.Values();
    const search::Tables& tables = prepared.search.GetTables();
    values(0, 2, 14) = -0.25;
    std::string strong = Captured([&](std::FILE* log) {
        search::WriteWindow(log, tables, values, {0, 2, 0});
    });
    EXPECT_EQ(std::count(strong.begin(), strong.end(), '\n'), 15);
    EXPECT_EQ(strong.substr(0, strong.find('\n') + 1), "-2.80(0.003311): +1.500000\n");
    EXPECT_NE(strong.find("\n-0.40(0.146487): +1.500000\n+0.00(0.158519): +1.500000\n"), std::string::npos)
        << strong;
    EXPECT_EQ(strong.substr(strong.rfind('\n', strong.size() - 2) + 1), "+2.80(0.003311): -0.250000\n");

    // Two equal largest values in one draw window: the first met (lower row) is reported.
    values(0, 112, 12) = 3.0;
    values(0, 114, 11) = 3.0;
    values(0, 119, 16) = -2.0;
    std::string draw = Captured([&](std::FILE* log) {
        search::WriteWindow(log, tables, values, {0, 113, 10});
    });
    EXPECT_EQ(std::count(draw.begin(), draw.end(), '\n'), 13);
    EXPECT_EQ(draw.substr(0, draw.find('\n') + 1),
              "+1.500000 +1.500000 +1.500000 +1.500000 +1.500000 +1.500000 +1.500000 \n");
    EXPECT_EQ(draw.substr(draw.rfind('\n', draw.size() - 2) + 1),
              "+1.500000 +1.500000 +1.500000 +1.500000 +1.500000 +1.500000 -2.000000 \n");
    const search::WindowSummary summary = search::SummariseWindow(tables, values, {0, 113, 10}, 2.0);
    EXPECT_EQ(summary.maximum.value, 3.0);
    EXPECT_TRUE(summary.maximum.x == tables.testTargets(0, 112, 12).x &&
                summary.maximum.y == tables.testTargets(0, 112, 12).y);
    EXPECT_NEAR(summary.successRate, 0.174666 * 0.24173 + 0.174666 * 0.060598, 1e-12);
}

}  // namespace
