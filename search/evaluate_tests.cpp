#include "search/evaluate_tests.h"

#include "evaluation/position_evaluation.h"
#include "search/log_line.h"

#include <atomic>
#include <system_error>
#include <thread>

namespace search {

namespace {

// Workers for the strong rows between the driver's first and last; the others take draw bands.
constexpr int StrongWorkers = StrongRowCount - 2;
constexpr int DrawWorkers = WorkerCount - StrongWorkers;
constexpr int RowsPerDrawWorker = TestGrid.DrawRows() / DrawWorkers;
constexpr int DriverDrawRows = TestGrid.DrawRows() - DrawWorkers * RowsPerDrawWorker;
static_assert(StrongWorkers > 0 && DrawWorkers > 0 && RowsPerDrawWorker > 0);

struct Executor {
    const records::GameState& state;
    const Tables& tables;
    ValueTable& values;
    physics::SimulationScratch& scratch;
    physics::SimulationPath path;
    const physics::SettledStart& settled;
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
    e.values(curl, row, column) = evaluation::ShotOutcomeValue(e.state.shotNumber, e.record);
}

// A strong row: curl 0 then 1, columns ascending. Draw rows: curl, then rows, then columns ascending.
void EvaluateShare(Executor& e, const ExecutorShare& share) {
    for (int i = 0; i < share.strongRowCount; ++i) {
        for (int curl = 0; curl < CurlCount; ++curl) {
            for (int column = 0; column < TestGrid.strongColumns; ++column) {
                EvaluateTest(e, curl, share.strongRows[i], column);
            }
        }
    }
    for (int curl = 0; curl < CurlCount; ++curl) {
        for (int row = share.firstDrawRow; row <= share.lastDrawRow; ++row) {
            for (int column = 0; column < TestGrid.drawColumns; ++column) {
                EvaluateTest(e, curl, row, column);
            }
        }
    }
}

}  // namespace

ExecutorShare WorkerShare(int worker) {
    ExecutorShare share;
    if (worker < StrongWorkers) {
        share.strongRows[0] = worker + 1;
        share.strongRowCount = 1;
        return share;
    }
    share.firstDrawRow =
        TestGrid.firstDrawRow + DriverDrawRows + (worker - StrongWorkers) * RowsPerDrawWorker;
    share.lastDrawRow = share.firstDrawRow + RowsPerDrawWorker - 1;
    return share;
}

ExecutorShare DriverShare() {
    ExecutorShare share;
    share.strongRows[0] = 0;
    share.strongRows[1] = StrongRowCount - 1;
    share.strongRowCount = 2;
    share.firstDrawRow = TestGrid.firstDrawRow;
    share.lastDrawRow = TestGrid.firstDrawRow + DriverDrawRows - 1;
    return share;
}

void EvaluateTests(const records::GameState& state, const Tables& tables, ValueTable& values,
                   physics::SimulationPath path, std::FILE* log) {
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
    auto run = [&](const ExecutorShare& share) {
        physics::SimulationScratch scratch;
        Executor e{state, tables, values, scratch, path, settled, {}};
        EvaluateShare(e, share);
    };
    std::thread workers[WorkerCount];
    bool started[WorkerCount] = {};
    for (int k = 0; k < WorkerCount; ++k) {
        try {
            workers[k] = std::thread([&run, &doneFlags, k] {
                run(WorkerShare(k));
                doneFlags[k].store(1, std::memory_order_release);
            });
            started[k] = true;
        } catch (const std::system_error&) {
            // No thread to be had: the share is valued on this thread below, with the same results.
        }
    }
    run(DriverShare());
    for (int k = 0; k < WorkerCount; ++k) {
        if (!started[k]) {
            run(WorkerShare(k));
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
    for (int k = 0; k < WorkerCount; ++k) {
        if (started[k]) {
            workers[k].join();
        }
    }
}

}  // namespace search
