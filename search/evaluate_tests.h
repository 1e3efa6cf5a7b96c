#pragma once

#include "physics/simulate_shot.h"
#include "records/game_state.h"
#include "search/search_tables.h"

#include <atomic>
#include <cstdio>

namespace search {

// The test grid is valued by this many worker threads and the calling thread, the driver.
constexpr int WorkerCount = 16;

// Consecutive test cells of one row and curl, columns firstColumn up to endColumn (exclusive).
struct CellBlock {
    int curl = 0;
    int row = 0;
    int firstColumn = 0;
    int endColumn = 0;
};

// Columns per block: small, so that the executors still busy at the end are busy for a few shots only.
constexpr int BlockColumns = 4;

// The blocks that the executors take in turn from one counter: for each curl the strong rows, then the
// draw rows, each cut into blocks of BlockColumns columns (a row's last block may hold fewer). A shot
// played against a pile can cost fifty times one played on an open sheet, so shares fixed in advance
// leave all but one core idle while the share that holds those shots finishes alone. Every test's
// outcome is independent of the executor that plays it, so the dealing changes no value.
constexpr int BlocksPerRow(int columns) {
    return (columns + BlockColumns - 1) / BlockColumns;
}
constexpr int BlocksPerCurl() {
    return StrongRowCount * BlocksPerRow(TestGrid.strongColumns) +
           TestGrid.DrawRows() * BlocksPerRow(TestGrid.drawColumns);
}
constexpr int BlockCount() {
    return CurlCount * BlocksPerCurl();
}
CellBlock BlockAt(int index);  // index 0..BlockCount()-1

// Fills every cell of `values` with the outcome of its test shot played on `state`: the workers and the
// calling thread take blocks in turn, each with a scratch of its own.
// Logs which workers were done when no block was left for the caller, then waits for all of them.
// Both simulation paths give the same values; the plain one is the reference for benchmarks and tests.
// `testsDone`, when given, counts the cells valued so far (block by block), for a caller that shows how
// far the search has come; it is not reset here. Returns how the plays went, summed over the threads.
physics::PlayCounters EvaluateTests(const records::GameState& state, const Tables& tables, ValueTable& values,
                                    physics::SimulationPath path, std::FILE* log,
                                    std::atomic<int>* testsDone = nullptr);

}  // namespace search
