#include "search/evaluate_tests.h"

#include "evaluation/position_evaluation.h"
#include "physics/simulate_shot.h"
#include "search/search_tables.h"

#include <atomic>
#include <cstdio>
#include <system_error>
#include <thread>

namespace search {

const ExecutorShare WorkerShares[WorkerCount] = {
    {{1, 0}, 1, 0, -1},    {{2, 0}, 1, 0, -1},    {{3, 0}, 1, 0, -1},    {{4, 0}, 1, 0, -1},
    {{5, 0}, 1, 0, -1},    {{6, 0}, 1, 0, -1},    {{0, 0}, 0, 97, 100},  {{0, 0}, 0, 101, 104},
    {{0, 0}, 0, 105, 108}, {{0, 0}, 0, 109, 112}, {{0, 0}, 0, 113, 116}, {{0, 0}, 0, 117, 120},
    {{0, 0}, 0, 121, 124}, {{0, 0}, 0, 125, 128}, {{0, 0}, 0, 129, 132}, {{0, 0}, 0, 133, 136},
};
const ExecutorShare DriverShare = {{0, 7}, 2, 94, 96};

namespace {

// The scratch record is refreshed before every test, so each test starts from the searched position.
void EvaluateTest(const GameState& state, GameState& scratch, int curl, int row, int column,
                  SimulationPath path) {
    scratch = state;
    physics::SimulateShot(scratch, TestShots(curl, row, column), path);
    ValueTable(curl, row, column) = evaluation::ShotOutcomeValue(state.shotNumber, scratch);
}

}  // namespace

void EvaluateStrongRow(const GameState& state, int row, SimulationPath path) {
    GameState scratch;
    for (int curl = 0; curl < CurlCount; ++curl) {
        for (int column = 0; column < TestStrongColumns; ++column) {
            EvaluateTest(state, scratch, curl, row, column, path);
        }
    }
}

void EvaluateDrawRows(const GameState& state, int firstRow, int lastRow, SimulationPath path) {
    GameState scratch;
    for (int curl = 0; curl < CurlCount; ++curl) {
        for (int row = firstRow; row <= lastRow; ++row) {
            for (int column = 0; column < TestDrawColumns; ++column) {
                EvaluateTest(state, scratch, curl, row, column, path);
            }
        }
    }
}

void EvaluateShare(const GameState& state, const ExecutorShare& share, SimulationPath path) {
    for (int i = 0; i < share.strongRowCount; ++i) {
        EvaluateStrongRow(state, share.strongRows[i], path);
    }
    EvaluateDrawRows(state, share.firstDrawRow, share.lastDrawRow, path);
}

void EvaluateTests(const GameState& state, SimulationPath path) {
    // Before any worker starts, so that no two threads make the physics' first contact at once.
    physics::WarmUp();
    std::atomic<int> doneFlags[WorkerCount];
    for (std::atomic<int>& flag : doneFlags) {
        flag.store(0);
    }
    std::thread workers[WorkerCount];
    bool started[WorkerCount] = {};
    for (int k = 0; k < WorkerCount; ++k) {
        try {
            workers[k] = std::thread([&state, &doneFlags, k, path] {
                EvaluateShare(state, WorkerShares[k], path);
                doneFlags[k].store(1, std::memory_order_release);
            });
            started[k] = true;
        } catch (const std::system_error&) {
            // No thread to be had: the share is valued on this thread below, with the same results.
        }
    }
    EvaluateShare(state, DriverShare, path);
    for (int k = 0; k < WorkerCount; ++k) {
        if (!started[k]) {
            EvaluateShare(state, WorkerShares[k], path);
            doneFlags[k].store(1, std::memory_order_release);
        }
    }
    char line[WorkerCount * 2 + 1];
    for (int k = 0; k < WorkerCount; ++k) {
        line[2 * k] = doneFlags[k].load(std::memory_order_acquire) != 0 ? '1' : '0';
        line[2 * k + 1] = ',';
    }
    line[WorkerCount * 2] = '\0';
    std::fprintf(stderr, "%s\n", line);
    for (int k = 0; k < WorkerCount; ++k) {
        if (started[k]) {
            workers[k].join();
        }
    }
}

}  // namespace search
