#include "search/evaluate_tests.h"

#include "evaluation/position_evaluation.h"
#include "search/log_line.h"

#include <atomic>
#include <cassert>
#include <cmath>
#include <system_error>
#include <thread>

namespace search {

namespace {

struct Executor {
    const records::GameState& state;
    const Tables& tables;
    ValueTable& values;
    physics::SimulationScratch& scratch;
    physics::SimulationPath path;
    const physics::SettledStart& settled;
    std::atomic<int>* testsDone;
    records::GameState record;  // refreshed before every test, so each starts from the searched position
};

void EvaluateTest(Executor& e, int curl, int row, int column) {
    e.record = e.state;
    // A refused shot leaves the record as it was: that position is valued.
    const int cell = TestTable<records::ShotVector>::Index(curl, row, column);
    const physics::LonePath* lone =
        e.tables.testLonePaths.empty() ? nullptr : &e.tables.testLonePaths[static_cast<std::size_t>(cell)];
    static_cast<void>(
        physics::SimulateShot(e.record, e.tables.testShots.cells[cell], e.scratch, e.path, lone, &e.settled));
    const double value = evaluation::ShotOutcomeValue(e.state.shotNumber, e.record);
    // The selection passes over a value that is not a number without a word.
    assert(std::isfinite(value));
    e.values(curl, row, column) = value;
}

// Takes blocks until none is left.
void EvaluateBlocks(Executor& e, std::atomic<int>& nextBlock) {
    for (int index = nextBlock.fetch_add(1, std::memory_order_relaxed); index < BlockCount();
         index = nextBlock.fetch_add(1, std::memory_order_relaxed)) {
        const CellBlock block = BlockAt(index);
        for (int column = block.firstColumn; column < block.endColumn; ++column) {
            EvaluateTest(e, block.curl, block.row, column);
        }
        if (e.testsDone != nullptr) {
            e.testsDone->fetch_add(block.endColumn - block.firstColumn, std::memory_order_relaxed);
        }
    }
}

}  // namespace

CellBlock BlockAt(int index) {
    assert(index >= 0 && index < BlockCount());
    constexpr int strongBlocks = BlocksPerRow(TestGrid.strongColumns);
    constexpr int drawBlocks = BlocksPerRow(TestGrid.drawColumns);
    CellBlock block;
    block.curl = index / BlocksPerCurl();
    int rest = index % BlocksPerCurl();
    int rowBlocks = strongBlocks;
    int columns = TestGrid.strongColumns;
    block.row = rest / strongBlocks;
    if (block.row >= StrongRowCount) {
        rest -= StrongRowCount * strongBlocks;
        rowBlocks = drawBlocks;
        columns = TestGrid.drawColumns;
        block.row = TestGrid.firstDrawRow + rest / drawBlocks;
    }
    block.firstColumn = rest % rowBlocks * BlockColumns;
    block.endColumn = block.firstColumn + BlockColumns < columns ? block.firstColumn + BlockColumns : columns;
    return block;
}

physics::PlayCounters EvaluateTests(const records::GameState& state, const Tables& tables, ValueTable& values,
                                    physics::SimulationPath path, std::FILE* log,
                                    std::atomic<int>* testsDone) {
    // A test reads its trace by cell index, unchecked.
    assert(tables.testLonePaths.empty() || tables.testLonePaths.size() == ValueTable::CellCount);
    // Before any worker starts, so that no two threads make the physics' first contact at once.
    physics::WarmUp();
    // Placed stones that overlap settle alike before every test shot comes near them: worked out once.
    const physics::SettledStart settled =
        path == physics::SimulationPath::Fast ? physics::SettleStart(state) : physics::SettledStart{};
    std::atomic<int> doneFlags[WorkerCount];
    for (std::atomic<int>& flag : doneFlags) {
        flag.store(0);
    }
    // Each executor's scratch lives for this search only: blocks kept from one search to the next, when
    // later threads build their worlds in them, measured a few per cent slower.
    std::atomic<int> nextBlock{0};
    physics::PlayCounters counters[WorkerCount + 1];
    auto run = [&](int slot) {
        physics::SimulationScratch scratch;
        Executor e{state, tables, values, scratch, path, settled, testsDone, {}};
        EvaluateBlocks(e, nextBlock);
        counters[slot] = scratch.counters;
    };
    std::thread workers[WorkerCount];
    bool started[WorkerCount] = {};
    for (int k = 0; k < WorkerCount; ++k) {
        try {
            workers[k] = std::thread([&run, &doneFlags, k] {
                run(k);
                doneFlags[k].store(1, std::memory_order_release);
            });
            started[k] = true;
        } catch (const std::system_error&) {
            // No thread to be had: the others take its blocks, with the same results.
        }
    }
    run(WorkerCount);
    for (int k = 0; k < WorkerCount; ++k) {
        if (!started[k]) {
            doneFlags[k].store(1, std::memory_order_release);
        }
    }
    char line[WorkerCount * 2 + 1];
    for (int k = 0; k < WorkerCount; ++k) {
        line[2 * k] = doneFlags[k].load(std::memory_order_acquire) != 0 ? '1' : '0';
        line[2 * k + 1] = ',';
    }
    line[WorkerCount * 2] = '\0';
    LogLine(log, "%s\n", line);
    physics::PlayCounters total;
    for (int k = 0; k < WorkerCount; ++k) {
        if (started[k]) {
            workers[k].join();
        }
        total += counters[k];
    }
    total += counters[WorkerCount];
    return total;
}

}  // namespace search
