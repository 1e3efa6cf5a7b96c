#pragma once

#include "search/selection.h"

#include <cstdio>

namespace search {

constexpr const char* ReportSeparator =
    "------------------------------------------------------------------------";

// The largest value in a candidate's window and the test target that produced it.
struct WindowMaximum {
    double value = ValueFloor;
    float x = 0.0f;
    float y = 0.0f;
};

// What the report says of a candidate's window besides its values: the success rate (the summed weight
// of the cells that reach `bestExpected`, each window row summed first) and the largest value, the
// first of equal ones; the first cell names the target even when every value is NaN.
struct WindowSummary {
    double successRate = 0.0;
    WindowMaximum maximum;
};

WindowSummary SummariseWindow(const Tables& tables, const ValueTable& values, CandidateIndex candidate,
                              double bestExpected);

// The candidate's window of test values, one formatted print per line: a strong row as lines
// "offset(weight): value", a draw window as lines of its row's values.
void WriteWindow(std::FILE* log, const Tables& tables, const ValueTable& values, CandidateIndex candidate);

// The report's figures, as values: both candidates' success rates against the best expected value and
// the largest value in the chosen candidate's window.
struct SelectionReport {
    double rawSuccessRate = 0.0;
    double chosenSuccessRate = 0.0;
    WindowMaximum chosenMaximum;
};

SelectionReport SummariseSelection(const Tables& tables, const ValueTable& values,
                                   const Selection& selection);

// The report after the scan: the raw-best candidate under the "Challenging" header, then the chosen
// one, each with its window and success rate.
void WriteSelectionReport(std::FILE* log, const Tables& tables, const ValueTable& values,
                          const Selection& selection, const SelectionReport& report);

}  // namespace search
