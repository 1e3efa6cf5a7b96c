#include "search/search_report.h"

#include "search/log_line.h"

#include <string>

namespace search {

namespace {

constexpr const char* ChallengingHeader =
    "-Challenging------------------------------------------------------------";

}  // namespace

WindowSummary SummariseWindow(const Tables& tables, const ValueTable& values, CandidateIndex candidate,
                              double bestExpected) {
    const Window window = WindowOf(candidate, tables.drawKernel);
    WindowSummary summary;
    for (int i = 0; i < window.rows; ++i) {
        const int row = window.firstRow + i;
        double rowRate = 0.0;
        for (int j = 0; j < window.columns; ++j) {
            const int column = window.firstColumn + j;
            const double value = values(window.curl, row, column);
            if (value >= bestExpected) {
                rowRate += window.Weight(i, j);
            }
            WindowMaximum& maximum = summary.maximum;
            if ((i == 0 && j == 0) || value > maximum.value) {
                const records::ShotTarget& target = tables.testTargets(window.curl, row, column);
                maximum.x = target.x;
                maximum.y = target.y;
                if (value > maximum.value) {
                    maximum.value = value;
                }
            }
        }
        summary.successRate += rowRate;
    }
    return summary;
}

void WriteWindow(std::FILE* log, const Tables& tables, const ValueTable& values, CandidateIndex candidate) {
    const Window window = WindowOf(candidate, tables.drawKernel);
    for (int i = 0; i < window.rows; ++i) {
        const int row = window.firstRow + i;
        if (window.strong) {
            // Labelled with the kernel bins' centres, -2.8 to +2.8 standard deviations.
            for (int k = 0; k < window.columns; ++k) {
                LogLine(log, "%+.2f(%f): %+f\n", k * 0.4 - 2.8, window.Weight(0, k),
                        values(window.curl, row, window.firstColumn + k));
            }
            continue;
        }
        // One print per line: a row's values gathered first.
        std::string line;
        for (int j = 0; j < window.columns; ++j) {
            char entry[64];
            std::snprintf(entry, sizeof(entry), "%+f ", values(window.curl, row, window.firstColumn + j));
            line += entry;
        }
        LogLine(log, "%s\n", line.c_str());
    }
}

SelectionReport SummariseSelection(const Tables& tables, const ValueTable& values,
                                   const Selection& selection) {
    SelectionReport report;
    report.rawSuccessRate =
        SummariseWindow(tables, values, selection.rawBest, selection.bestExpected).successRate;
    const WindowSummary chosen = SummariseWindow(tables, values, selection.chosen, selection.bestExpected);
    report.chosenSuccessRate = chosen.successRate;
    report.chosenMaximum = chosen.maximum;
    return report;
}

void WriteSelectionReport(std::FILE* log, const Tables& tables, const ValueTable& values,
                          const Selection& selection, const SelectionReport& report) {
    const CandidateIndex& raw = selection.rawBest;
    const records::ShotTarget& rawTarget = tables.candidateTargets(raw.curl, raw.row, raw.column);
    LogLine(log, "%s\n", ChallengingHeader);
    WriteWindow(log, tables, values, raw);
    LogLine(log, "without random: (%.3f, %.3f, %d), Max: %.6f\n", rawTarget.x, rawTarget.y, rawTarget.curl,
            selection.bestRaw);
    LogLine(log, "Mean Value: %.6f\n", selection.rawBestExpected);
    LogLine(log, "shot success rate: %f\n", report.rawSuccessRate);
    LogLine(log, "%s\n", ReportSeparator);

    const CandidateIndex& chosen = selection.chosen;
    const records::ShotTarget& chosenTarget = tables.candidateTargets(chosen.curl, chosen.row, chosen.column);
    if (!selection.chosenFound) {
        LogLine(log, "no candidate has a value above %.1f: answering the first candidate\n", ValueFloor);
    }
    WriteWindow(log, tables, values, chosen);
    LogLine(log, "Out: (%.3f, %.3f, %d), Value: %.6f\n", chosenTarget.x, chosenTarget.y, chosenTarget.curl,
            selection.bestExpected);
    const WindowMaximum& maximum = report.chosenMaximum;
    LogLine(log, "Max: (%.3f, %.3f), %.6f\n", maximum.x, maximum.y, maximum.value);
    LogLine(log, "shot success rate: %f\n", report.chosenSuccessRate);
    LogLine(log, "%s\n", ReportSeparator);
}

}  // namespace search
