#pragma once

#include "records/game_state.h"
#include "search/grid.h"

#include <cstdio>

namespace search {

// What every readiness check builds. A test's target, shot and value share one index, so every value
// traces back to the target that produced it. All zero until the first readiness check.
struct Tables {
    CandidateTable<records::ShotTarget> candidateTargets;
    CandidateTable<records::ShotVector> candidateShots;
    TestTable<records::ShotTarget> testTargets;
    TestTable<records::ShotVector> testShots;
    DrawKernel drawKernel;
};

// Builds the draw kernel and both grids, calling createShot once per cell (19976 calls), candidates
// before tests, each in the grid order; then logs the two counts. Without a createShot the shots stay
// zero and a note says so.
void PrepareTables(records::CreateShotFunction createShot, Tables& tables, std::FILE* log);

}  // namespace search
