#pragma once

#include "physics/simulate_shot.h"
#include "records/game_state.h"
#include "search/search_tables.h"

#include <cstdio>

namespace search {

// The rows one executor values, both curls of each: its strong rows in the listed order, then the draw
// rows firstDrawRow..lastDrawRow (none when lastDrawRow < firstDrawRow).
struct ExecutorShare {
    int strongRows[2] = {0, 0};
    int strongRowCount = 0;
    int firstDrawRow = 0;
    int lastDrawRow = -1;
};

// The test grid is valued by this many worker threads and the calling thread, the driver.
constexpr int WorkerCount = 16;

// A fixed partition, independent of the processor count, that follows from the grid: a worker for each
// inner strong row, the draw rows dealt out in equal bands to the other workers; the driver keeps the
// outer strong rows and the draw rows left over before the bands. Together the shares cover every test
// row exactly once.
ExecutorShare WorkerShare(int worker);  // worker 0..WorkerCount-1
ExecutorShare DriverShare();

// Fills every cell of `values` with the outcome of its test shot played on `state`: the workers and the
// calling thread, each on its own share with a scratch of its own.
// Logs which workers were done when the caller finished its share, then waits for all of them.
// Both simulation paths give the same values; the plain one is the reference for benchmarks and tests.
void EvaluateTests(const records::GameState& state, const Tables& tables, ValueTable& values,
                   physics::SimulationPath path, std::FILE* log);

}  // namespace search
