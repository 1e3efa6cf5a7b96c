#include "search/best_shot.h"

#include "evaluation/house_scoring.h"
#include "evaluation/position_evaluation.h"
#include "search/evaluate_tests.h"
#include "search/search_report.h"
#include "search/search_tables.h"

#include <cstdio>

namespace search {

double ExpectedValue(CandidateIndex candidate) {
    const int curl = candidate.curl;
    const int row = candidate.row;
    const int column = candidate.column;
    double sum = 0.0;
    if (row < StrongRowCount) {
        for (int k = 0; k < 15; ++k) {
            sum += StrongKernel[k] * ValueTable(curl, row, column + k);
        }
        return sum;
    }
    for (int i = 0; i < 13; ++i) {
        double rowSum = 0.0;
        for (int j = 0; j < 7; ++j) {
            rowSum += DrawKernel[i][j] * ValueTable(curl, row - DrawRowMargin + i, column + j);
        }
        sum += rowSum;
    }
    return sum;
}

double RawValue(CandidateIndex candidate) {
    int margin = candidate.row < StrongRowCount ? StrongMargin : DrawColumnMargin;
    return ValueTable(candidate.curl, candidate.row, candidate.column + margin);
}

namespace {

void ConsiderCandidate(Selection& selection, CandidateIndex candidate) {
    double expected = ExpectedValue(candidate);
    if (expected > selection.bestExpected) {
        selection.chosenFound = true;
        selection.bestExpected = expected;
        selection.chosen = candidate;
    }
    double raw = RawValue(candidate);
    if (raw > selection.bestRaw) {
        selection.rawFound = true;
        selection.bestRaw = raw;
        selection.rawBest = candidate;
        selection.rawBestExpected = expected;
    }
}

}  // namespace

Selection ChooseCandidate() {
    Selection selection;
    for (int curl = 0; curl < CurlCount; ++curl) {
        for (int row = 0; row < StrongRowCount; ++row) {
            for (int column = 0; column < CandidateStrongColumns; ++column) {
                ConsiderCandidate(selection, {curl, row, column});
            }
        }
        for (int row = CandidateFirstDrawRow; row <= CandidateLastDrawRow; ++row) {
            for (int column = 0; column < CandidateDrawColumns; ++column) {
                ConsiderCandidate(selection, {curl, row, column});
            }
        }
    }
    // Nothing beat the floor (every value NaN): fall back on the first candidate rather than an
    // index that was never set.
    if (!selection.chosenFound) {
        selection.chosen = CandidateIndex{};
    }
    if (!selection.rawFound) {
        selection.rawBest = CandidateIndex{};
    }
    return selection;
}

void SearchBestShot(const GameState& state, ShotVector& shot, physics::SimulationPath path) {
    const bool oddToPlay = (state.shotNumber & 1) != 0;
    const int score = evaluation::EndScore(state);
    std::fprintf(stderr, "%s\n", ReportSeparator);
    std::fprintf(stderr, "current score: %d\n", oddToPlay ? -score : score);
    std::fprintf(stderr, "current evaluation: %f\n",
                 evaluation::EvaluatePosition(state, state.shotNumber & 1));
    EvaluateTests(state, path);
    Selection selection = ChooseCandidate();
    WriteSelectionReport(stderr, selection);
    const CandidateIndex& chosen = selection.chosen;
    shot = CandidateShots(chosen.curl, chosen.row, chosen.column);
}

}  // namespace search
