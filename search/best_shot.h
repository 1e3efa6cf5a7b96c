#pragma once

#include "front/game_state.h"
#include "physics/simulate_shot.h"

namespace search {

// Every running best starts here; any value a test can receive lies far above it.
constexpr double ValueFloor = -99999.9;

struct CandidateIndex {
    int curl = 0;
    int row = 0;  // 0..7 strong, 100..130 draw
    int column = 0;
};

// The outcome of one scan of the candidate grid over ValueTable.
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

// The noise-weighted value of a candidate over its window of tests, summed in a fixed order:
// a strong row's 15 products in column order; a draw window's 13 rows each summed on its own
// (7 products) and added in row order.
double ExpectedValue(CandidateIndex candidate);
// The value of the candidate's own test.
double RawValue(CandidateIndex candidate);

// Scans curl 0 then 1, strong rows before the draw grid, rows then columns ascending; only a
// strictly greater value replaces a best, so ties go to the candidate met first.
Selection ChooseCandidate();

// The whole answer to GO: logs the position's score and evaluation, values every test, chooses,
// writes the report on stderr and copies the chosen candidate's shot into `shot`.
void SearchBestShot(const GameState& state, ShotVector& shot,
                    physics::SimulationPath path = physics::SimulationPath::Fast);

}  // namespace search
