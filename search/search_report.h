#pragma once

#include "search/best_shot.h"

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

// Prints the candidate's window of test values, one formatted print per line: a strong row as 15 lines
// "offset(weight): value", a draw window as 13 lines of 7 values. Returns the candidate's success rate,
// the summed weight of the cells that reach `bestExpected`. Fills `maximum` when given (the first of
// equal values stays).
double WriteWindowReport(std::FILE* log, CandidateIndex candidate, double bestExpected,
                         WindowMaximum* maximum);

// The report after the scan: the raw-best candidate under the "Challenging" header, then the chosen
// one, each with its window and success rate.
void WriteSelectionReport(std::FILE* log, const Selection& selection);

}  // namespace search
