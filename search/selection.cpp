#include "search/selection.h"

namespace search {

double ExpectedValue(const Tables& tables, const ValueTable& values, CandidateIndex candidate) {
    const Window window = WindowOf(candidate, tables.drawKernel);
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
