#include "search/best_shot.h"

#include "evaluation/position_evaluation.h"
#include "search/evaluate_tests.h"
#include "search/search_report.h"
#include "search/search_tables.h"
#include "tests/search/recording_simulator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <numeric>
#include <regex>
#include <string>

namespace {

using search::CandidateIndex;

void FillValues(double value) {
    for (double& cell : search::ValueTable.cells) {
        cell = value;
    }
}

void PrepareRecordedTables() {
    searchtest::RecordedTargets().clear();
    testing::internal::CaptureStderr();
    search::PrepareSearch(searchtest::RecordingCreateShot);
    testing::internal::GetCapturedStderr();
}

// What the report writes to a log, as text.
template <typename Write>
std::string Captured(Write write) {
    std::FILE* file = std::tmpfile();
    write(file);
    std::string text(static_cast<std::size_t>(std::ftell(file)), '\0');
    std::rewind(file);
    std::size_t read = std::fread(text.data(), 1, text.size(), file);
    text.resize(read);
    std::fclose(file);
    return text;
}

bool Same(CandidateIndex a, CandidateIndex b) {
    return a.curl == b.curl && a.row == b.row && a.column == b.column;
}

std::string Text(CandidateIndex c) {
    return std::to_string(c.curl) + "/" + std::to_string(c.row) + "/" + std::to_string(c.column);
}

TEST(TestPartition, CoversEveryTestRowExactlyOnce) {
    int strongUses[8] = {};
    int drawUses[137] = {};
    auto cellsOf = [&](const search::ExecutorShare& share) {
        int cells = 0;
        for (int i = 0; i < share.strongRowCount; ++i) {
            ++strongUses[share.strongRows[i]];
            cells += 2 * 370;
        }
        for (int row = share.firstDrawRow; row <= share.lastDrawRow; ++row) {
            ++drawUses[row];
            cells += 2 * 59;
        }
        return cells;
    };
    int total = cellsOf(search::DriverShare);
    EXPECT_EQ(total, 1834);
    for (int k = 0; k < search::WorkerCount; ++k) {
        SCOPED_TRACE(k + 1);
        int cells = cellsOf(search::WorkerShares[k]);
        EXPECT_EQ(cells, k < 6 ? 740 : 472);
        total += cells;
    }
    EXPECT_EQ(total, 10994);
    for (int row = 0; row < 8; ++row) {
        EXPECT_EQ(strongUses[row], 1) << "strong row " << row;
    }
    for (int row = 94; row <= 136; ++row) {
        EXPECT_EQ(drawUses[row], 1) << "draw row " << row;
    }
}

TEST(EvaluateTests, ValuesEveryCellAndLogsSixteenDoneFlags) {
    // An end that is over: every shot is refused, so each test values the unchanged position.
    GameState state{};
    state.shotNumber = 16;
    state.stones[3] = {2.375f, 4.88f};
    state.stones[4] = {2.375f, 5.5f};
    FillValues(std::numeric_limits<double>::quiet_NaN());
    testing::internal::CaptureStderr();
    search::EvaluateTests(state);
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(std::regex_match(log, std::regex("([01],){16}\n"))) << log;
    const double expected = evaluation::EvaluatePosition(state, 0);
    ASSERT_NE(expected, 0.0);
    int wrong = 0;
    for (double value : search::ValueTable.cells) {
        wrong += value != expected;
    }
    EXPECT_EQ(wrong, 0);
}

TEST(CandidateChoice, EqualValuesChooseAsTheScanOrderAndKernelSumsSay) {
    struct Case {
        double value;
        CandidateIndex chosen;
        CandidateIndex rawBest;
        double successRate;
    };
    const double strongSum = std::accumulate(search::StrongKernel, search::StrongKernel + 15, 0.0);
    const Case cases[] = {
        {0.0, {0, 0, 0}, {0, 0, 0}, strongSum},  // every cell reaches the best value 0
        {-1.5, {0, 0, 0}, {0, 0, 0}, 0.0},       // strong weights sum lower: less negative
        {2.0, {0, 100, 0}, {0, 0, 0}, -1.0},     // draw weights sum higher
    };
    PrepareRecordedTables();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        FillValues(c.value);
        search::Selection selection = search::ChooseCandidate();
        EXPECT_TRUE(selection.chosenFound);
        EXPECT_TRUE(Same(selection.chosen, c.chosen)) << Text(selection.chosen);
        EXPECT_TRUE(Same(selection.rawBest, c.rawBest)) << Text(selection.rawBest);
        EXPECT_EQ(selection.bestRaw, c.value);
        if (c.successRate >= 0.0) {
            std::string report =
                Captured([&](std::FILE* log) { search::WriteSelectionReport(log, selection); });
            char expectedLine[64];
            std::snprintf(expectedLine, sizeof(expectedLine), "shot success rate: %f\n", c.successRate);
            std::size_t first = report.find(expectedLine);
            EXPECT_NE(first, std::string::npos) << report;
            EXPECT_NE(report.find(expectedLine, first + 1), std::string::npos) << report;
        }
    }
}

TEST(CandidateChoice, TiesGoToTheCandidateMetFirst) {
    // One hot test cell makes the candidate aimed at it the best of its region, with the centre weight.
    struct Hot {
        int curl, row, column;
        double value;
    };
    const double strongCentre = search::StrongKernel[7];
    const double drawCentre = search::DrawKernelY[6] * search::DrawKernelX[3];
    struct Case {
        const char* name;
        Hot a, b;
        CandidateIndex chosen;
    };
    const Case cases[] = {
        {"curl 0 before curl 1", {1, 3, 107, 1.0}, {0, 3, 207, 1.0}, {0, 3, 200}},
        {"strong row before draw grid", {1, 120, 10, strongCentre}, {1, 5, 50, drawCentre}, {1, 5, 43}},
        {"draw grid of curl 0 before strong of curl 1",
         {1, 2, 50, drawCentre},
         {0, 110, 20, strongCentre},
         {0, 110, 17}},
        {"lower row first", {0, 7, 30, 1.0}, {0, 6, 40, 1.0}, {0, 6, 33}},
    };
    PrepareRecordedTables();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FillValues(0.0);
        search::ValueTable(c.a.curl, c.a.row, c.a.column) = c.a.value;
        search::ValueTable(c.b.curl, c.b.row, c.b.column) = c.b.value;
        search::Selection selection = search::ChooseCandidate();
        EXPECT_TRUE(Same(selection.chosen, c.chosen)) << Text(selection.chosen);
    }
}

TEST(CandidateChoice, WithoutAnyNumberItAnswersTheFirstCandidate) {
    PrepareRecordedTables();
    FillValues(std::numeric_limits<double>::quiet_NaN());
    search::Selection selection = search::ChooseCandidate();
    EXPECT_FALSE(selection.chosenFound);
    EXPECT_FALSE(selection.rawFound);
    EXPECT_TRUE(Same(selection.chosen, {0, 0, 0}));
    EXPECT_TRUE(Same(selection.rawBest, {0, 0, 0}));
    std::string report = Captured([&](std::FILE* log) { search::WriteSelectionReport(log, selection); });
    EXPECT_NE(report.find("answering the first candidate"), std::string::npos);
    EXPECT_NE(report.find("Out: (0.500, -6.039, 0)"), std::string::npos) << report;
}

TEST(SearchReport, WindowsPrintOffsetsWeightsAndValues) {
    PrepareRecordedTables();
    FillValues(1.5);
    search::ValueTable(0, 2, 14) = -0.25;
    std::string strong = Captured([](std::FILE* log) {
        search::WriteWindowReport(log, {0, 2, 0}, 1.0, nullptr);
    });
    EXPECT_EQ(strong.substr(0, strong.find('\n') + 1), "-2.80(0.003311): +1.500000\n");
    EXPECT_NE(strong.find("\n+0.00(0.158519): +1.500000\n"), std::string::npos);
    EXPECT_NE(strong.find("\n-0.40(0.146487): +1.500000\n"), std::string::npos);
    EXPECT_EQ(strong.substr(strong.rfind('\n', strong.size() - 2) + 1), "+2.80(0.003311): -0.250000\n");
    EXPECT_EQ(std::count(strong.begin(), strong.end(), '\n'), 15);

    search::ValueTable(1, 130 + 6, 52 + 6) = -2.0;
    std::string draw = Captured([](std::FILE* log) {
        search::WriteWindowReport(log, {1, 130, 52}, 1.0, nullptr);
    });
    EXPECT_EQ(std::count(draw.begin(), draw.end(), '\n'), 13);
    EXPECT_EQ(draw.substr(0, draw.find('\n') + 1),
              "+1.500000 +1.500000 +1.500000 +1.500000 +1.500000 +1.500000 +1.500000 \n");
    EXPECT_EQ(draw.substr(draw.rfind('\n', draw.size() - 2) + 1),
              "+1.500000 +1.500000 +1.500000 +1.500000 +1.500000 +1.500000 -2.000000 \n");
}

TEST(SearchReport, SuccessRateAndMaximumOfTheChosenWindow) {
    PrepareRecordedTables();
    FillValues(0.0);
    // Two equal largest values in one draw window: the first met (lower row) is reported.
    search::ValueTable(0, 112, 12) = 3.0;
    search::ValueTable(0, 114, 11) = 3.0;
    search::WindowMaximum maximum;
    double rate = 0.0;
    Captured([&](std::FILE* log) { rate = search::WriteWindowReport(log, {0, 113, 10}, 1.0, &maximum); });
    EXPECT_EQ(maximum.value, 3.0);
    EXPECT_EQ(maximum.x, search::TestTargets(0, 112, 12).x);
    EXPECT_EQ(maximum.y, search::TestTargets(0, 112, 12).y);
    EXPECT_DOUBLE_EQ(rate, search::DrawKernel[5][2] + search::DrawKernel[7][1]);
}

TEST(SearchBestShot, AnEndedRecordAnswersTheFirstDrawCandidateWithItsShot) {
    PrepareRecordedTables();
    GameState state{};
    state.shotNumber = 17;  // odd: the score is told for the odd team
    state.stones[1] = {2.375f, 4.88f};
    ShotVector shot{};
    testing::internal::CaptureStderr();
    search::SearchBestShot(state, shot);
    std::string log = testing::internal::GetCapturedStderr();
    // Every value is the same positive evaluation, so the draw grid's larger kernel sum wins.
    const ShotVector& expected = search::CandidateShots(0, 100, 0);
    EXPECT_EQ(shot.vx, expected.vx);
    EXPECT_EQ(shot.vy, expected.vy);
    EXPECT_EQ(shot.curl, 0);
    const std::string separator(72, '-');
    EXPECT_EQ(log.substr(0, 73 + 17 + 29), separator + "\ncurrent score: 1\ncurrent evaluation: 5.000000\n");
    std::regex order(
        "(.|\n)*\n([01],){16}\n-Challenging-{60}\n(.+\n){15}without random: \\(0\\.500, -6\\.039, 0\\), Max: "
        "5\\.000000\nMean Value: 4\\.986495\nshot success rate: 0\\.997299\n-{72}\n(.+\n){13}Out: "
        "\\(0\\.490, "
        "2\\.415, 0\\), Value: 4\\.991923\nMax: \\(0\\.273, 1\\.545\\), 5\\.000000\nshot success rate: "
        "0\\.998385\n-{72}\n");
    EXPECT_TRUE(std::regex_match(log, order)) << log;
}

}  // namespace
