#pragma once

#include "physics/simulate_shot.h"
#include "records/game_state.h"
#include "search/grid.h"

#include <cstdio>
#include <vector>

namespace search {

// What every readiness check builds. A test's target, shot and value share one index, so every value
// traces back to the target that produced it. All zero until the first readiness check.
struct Tables {
    CandidateTable<records::ShotTarget> candidateTargets;
    CandidateTable<records::ShotVector> candidateShots;
    TestTable<records::ShotTarget> testTargets;
    TestTable<records::ShotVector> testShots;
    DrawKernel drawKernel;
    // Each test shot traced alone once, in the cells' order; empty until the first readiness check.
    std::vector<physics::LonePath> testLonePaths;
};

// Builds the draw kernel and both grids, calling createShot once per cell (19976 calls, on the calling
// thread), candidates before tests, each in the grid order; then logs the two counts, and traces every
// test shot alone on `threads` threads. Without a createShot the shots stay zero and a note says so.
void PrepareTables(records::CreateShotFunction createShot, Tables& tables, std::FILE* log, int threads);

}  // namespace search
