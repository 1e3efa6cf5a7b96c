#pragma once

#include "search/grid.h"
#include "search/search_tables.h"

namespace search {

// Every running best starts here; any value a test can receive lies far above it.
constexpr double ValueFloor = -99999.9;

// The outcome of one scan of the candidate grid over the test values.
struct Selection {
    // False when no expected value exceeded ValueFloor (every one not a number): the chosen candidate
    // is then the first of the scan.
    bool chosenFound = false;
    CandidateIndex chosen;
    double bestExpected = ValueFloor;
    // The candidate whose own test, played without noise, scored best, with its expected value.
    bool rawFound = false;
    CandidateIndex rawBest;
    double bestRaw = ValueFloor;
    double rawBestExpected = ValueFloor;
};

// The noise-weighted value of a candidate over its window of tests: each window row's products summed
// in column order, the row sums added in row order.
double ExpectedValue(const Tables& tables, const ValueTable& values, CandidateIndex candidate);
// The value of the candidate's own test.
double RawValue(const ValueTable& values, CandidateIndex candidate);

// Every candidate's expected value, as the scan computes it.
using ExpectedTable = CandidateTable<double>;

// Scans the candidate grid in the grid order; only a strictly greater value replaces a best, so ties
// go to the candidate met first. `expected`, when given, receives every candidate's expected value.
Selection ChooseCandidate(const Tables& tables, const ValueTable& values, ExpectedTable* expected = nullptr);

}  // namespace search
