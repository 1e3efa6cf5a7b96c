#include "search/search_report.h"

#include "search/search_tables.h"

namespace search {

namespace {

constexpr const char* ChallengingHeader =
    "-Challenging------------------------------------------------------------";

// The first window cell seeds the maximum, so that even a window of NaN names a real test target.
void ConsiderForMaximum(WindowMaximum* maximum, double value, int curl, int row, int column, bool first) {
    if (maximum == nullptr) {
        return;
    }
    if (first || value > maximum->value) {
        const ShotTarget& target = TestTargets(curl, row, column);
        maximum->x = target.x;
        maximum->y = target.y;
        if (value > maximum->value) {
            maximum->value = value;
        }
    }
}

double WriteStrongWindow(std::FILE* log, CandidateIndex candidate, double bestExpected,
                         WindowMaximum* maximum) {
    double successRate = 0.0;
    for (int k = 0; k < 15; ++k) {
        const int column = candidate.column + k;
        const double value = ValueTable(candidate.curl, candidate.row, column);
        std::fprintf(log, "%+.2f(%f): %+f\n", k * 0.4 - 2.8, StrongKernel[k], value);
        if (value >= bestExpected) {
            successRate += StrongKernel[k];
        }
        ConsiderForMaximum(maximum, value, candidate.curl, candidate.row, column, k == 0);
    }
    return successRate;
}

double WriteDrawWindow(std::FILE* log, CandidateIndex candidate, double bestExpected,
                       WindowMaximum* maximum) {
    double successRate = 0.0;
    for (int i = 0; i < 13; ++i) {
        const int row = candidate.row - DrawRowMargin + i;
        double values[7];
        double rowRate = 0.0;
        for (int j = 0; j < 7; ++j) {
            const int column = candidate.column + j;
            values[j] = ValueTable(candidate.curl, row, column);
            if (values[j] >= bestExpected) {
                rowRate += DrawKernel[i][j];
            }
            ConsiderForMaximum(maximum, values[j], candidate.curl, row, column, i == 0 && j == 0);
        }
        successRate += rowRate;
        std::fprintf(log, "%+f %+f %+f %+f %+f %+f %+f \n", values[0], values[1], values[2], values[3],
                     values[4], values[5], values[6]);
    }
    return successRate;
}

}  // namespace

double WriteWindowReport(std::FILE* log, CandidateIndex candidate, double bestExpected,
                         WindowMaximum* maximum) {
    return candidate.row < StrongRowCount ? WriteStrongWindow(log, candidate, bestExpected, maximum)
                                          : WriteDrawWindow(log, candidate, bestExpected, maximum);
}

void WriteSelectionReport(std::FILE* log, const Selection& selection) {
    const CandidateIndex& raw = selection.rawBest;
    const ShotTarget& rawTarget = CandidateTargets(raw.curl, raw.row, raw.column);
    std::fprintf(log, "%s\n", ChallengingHeader);
    double rawRate = WriteWindowReport(log, raw, selection.bestExpected, nullptr);
    std::fprintf(log, "without random: (%.3f, %.3f, %d), Max: %.6f\n", rawTarget.x, rawTarget.y,
                 rawTarget.curl, selection.bestRaw);
    std::fprintf(log, "Mean Value: %.6f\n", selection.rawBestExpected);
    std::fprintf(log, "shot success rate: %f\n", rawRate);
    std::fprintf(log, "%s\n", ReportSeparator);

    const CandidateIndex& chosen = selection.chosen;
    const ShotTarget& chosenTarget = CandidateTargets(chosen.curl, chosen.row, chosen.column);
    if (!selection.chosenFound) {
        std::fprintf(log, "no candidate has a value above %.1f: answering the first candidate\n", ValueFloor);
    }
    WindowMaximum maximum;
    double chosenRate = WriteWindowReport(log, chosen, selection.bestExpected, &maximum);
    std::fprintf(log, "Out: (%.3f, %.3f, %d), Value: %.6f\n", chosenTarget.x, chosenTarget.y,
                 chosenTarget.curl, selection.bestExpected);
    std::fprintf(log, "Max: (%.3f, %.3f), %.6f\n", maximum.x, maximum.y, maximum.value);
    std::fprintf(log, "shot success rate: %f\n", chosenRate);
    std::fprintf(log, "%s\n", ReportSeparator);
}

}  // namespace search
