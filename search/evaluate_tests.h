#pragma once

#include "front/game_state.h"
#include "physics/simulate_shot.h"

namespace search {

// The rows one executor values: its strong rows in the listed order, then the draw rows
// firstDrawRow..lastDrawRow (none when lastDrawRow < firstDrawRow).
struct ExecutorShare {
    int strongRows[2];
    int strongRowCount;
    int firstDrawRow;
    int lastDrawRow;
};

constexpr int WorkerCount = 16;

// A fixed partition, independent of the processor count: together the shares cover every test row
// exactly once. The driver takes the largest share (1834 tests), a strong-row worker 740, a draw
// worker 472.
extern const ExecutorShare WorkerShares[WorkerCount];
extern const ExecutorShare DriverShare;

// Value the tests of one strong row (curl 0 then 1, columns ascending), or of draw rows first..last
// (curl, then rows, then columns ascending), each on a fresh copy of `state`, into ValueTable.
// Both simulation paths give the same values; the plain one is the reference for benchmarks and tests.
using physics::SimulationPath;
void EvaluateStrongRow(const GameState& state, int row, SimulationPath path = SimulationPath::Fast);
void EvaluateDrawRows(const GameState& state, int firstRow, int lastRow,
                      SimulationPath path = SimulationPath::Fast);
void EvaluateShare(const GameState& state, const ExecutorShare& share,
                   SimulationPath path = SimulationPath::Fast);

// Fills every cell of ValueTable with the outcome of its test shot played on `state`: 16 worker
// threads and the calling thread, each on its own share. Logs which workers were done when the
// caller finished its share, then waits for all of them. `state` must not change meanwhile.
void EvaluateTests(const GameState& state, SimulationPath path = SimulationPath::Fast);

}  // namespace search
