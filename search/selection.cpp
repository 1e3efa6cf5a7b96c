#include "search/selection.h"

#include <cassert>

namespace search {

namespace {

// The middle of a candidate's window is the test aimed at the candidate's own target. Were the grids
// shifted against each other, every expected value would weigh its neighbours' tests, and nothing
// else would show it.
[[maybe_unused]] bool CentredOnItsOwnTest(const Tables& tables, const Window& window,
                                          CandidateIndex candidate) {
    const records::ShotTarget& own = tables.candidateTargets(candidate.curl, candidate.row, candidate.column);
    const records::ShotTarget& middle = tables.testTargets(window.curl, window.firstRow + window.rows / 2,
                                                           window.firstColumn + window.columns / 2);
    return own.x == middle.x && own.y == middle.y && own.curl == middle.curl;
}

}  // namespace

double ExpectedValue(const Tables& tables, const ValueTable& values, CandidateIndex candidate) {
    const Window window = WindowOf(candidate, tables.drawKernel);
    assert(CentredOnItsOwnTest(tables, window, candidate));
    double sum = 0.0;
    for (int i = 0; i < window.rows; ++i) {
        double rowSum = 0.0;
        for (int j = 0; j < window.columns; ++j) {
            rowSum += window.Weight(i, j) * values(window.curl, window.firstRow + i, window.firstColumn + j);
        }
        // A sum started at +0.0 is never -0.0, so a lone row adds in exactly.
        sum += rowSum;
    }
    return sum;
}

double RawValue(const ValueTable& values, CandidateIndex candidate) {
    assert(CandidateTable<double>::Contains(candidate.curl, candidate.row, candidate.column));
    const int reach = candidate.row < StrongRowCount ? StrongReach : DrawColumnReach;
    return values(candidate.curl, candidate.row, candidate.column + reach);
}

Selection ChooseCandidate(const Tables& tables, const ValueTable& values, ExpectedTable* expected) {
    Selection selection;
    ForEachCell(CandidateGrid, [&](int curl, int row, int column) {
        const CandidateIndex candidate{curl, row, column};
        const double value = ExpectedValue(tables, values, candidate);
        if (expected != nullptr) {
            (*expected)(curl, row, column) = value;
        }
        if (value > selection.bestExpected) {
            selection.chosenFound = true;
            selection.bestExpected = value;
            selection.chosen = candidate;
        }
        const double raw = RawValue(values, candidate);
        if (raw > selection.bestRaw) {
            selection.rawFound = true;
            selection.bestRaw = raw;
            selection.rawBest = candidate;
            selection.rawBestExpected = value;
        }
    });
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

}  // namespace search
