#include "search/search_tables.h"

#include "search/log_line.h"

#include <atomic>
#include <cassert>
#include <system_error>
#include <thread>

namespace search {

namespace {

// The simulator library sees the same sequence of targets at every readiness check.
template <typename Targets, typename Shots>
int GenerateGrid(const GridShape& grid, records::CreateShotFunction createShot, Targets& targets,
                 Shots& shots) {
    int generated = 0;
    ForEachCell(grid, [&](int curl, int row, int column) {
        // The tables are stored in the walk's order: flat walks over them meet the cells in this order.
        assert(targets.Index(curl, row, column) == generated);
        const records::ShotTarget target = CellTarget(grid, curl, row, column);
        targets(curl, row, column) = target;
        records::ShotVector& shot = shots(curl, row, column);
        if (createShot != nullptr) {
            createShot(target, &shot);
        } else {
            shot = records::ShotVector{};
        }
        ++generated;
    });
    return generated;
}

// Traces are independent of each other, so the threads take cells in turn and any count gives the same.
void TraceTestShots(Tables& tables, int threads) {
    constexpr std::size_t cells = TestTable<records::ShotVector>::CellCount;
    tables.testLonePaths.assign(cells, physics::LonePath{});
    std::atomic<std::size_t> next{0};
    auto trace = [&tables, &next] {
        physics::TraceLonePaths(tables.testShots.cells, tables.testLonePaths.data(), cells, next);
    };
    // More threads than cores would only hold more trace buffers at once.
    const unsigned cores = std::thread::hardware_concurrency();
    threads = cores > 0 && static_cast<unsigned>(threads) > cores ? static_cast<int>(cores) : threads;
    std::vector<std::thread> helpers;
    for (int k = 1; k < threads; ++k) {
        try {
            helpers.emplace_back(trace);
        } catch (const std::system_error&) {
            break;  // the threads there are do all of it
        }
    }
    trace();
    for (std::thread& helper : helpers) {
        helper.join();
    }
}

}  // namespace

void PrepareTables(records::CreateShotFunction createShot, Tables& tables, std::FILE* log, int threads) {
    for (int i = 0; i < 2 * DrawRowReach + 1; ++i) {
        for (int j = 0; j < 2 * DrawColumnReach + 1; ++j) {
            tables.drawKernel[i][j] = DrawKernelY[i] * DrawKernelX[j];
        }
    }
    if (createShot == nullptr) {
        LogLine(log, "CurlingSimulator.dll has no CreateShot: every shot stays zero\n");
    }
    const int candidates =
        GenerateGrid(CandidateGrid, createShot, tables.candidateTargets, tables.candidateShots);
    const int tests = GenerateGrid(TestGrid, createShot, tables.testTargets, tables.testShots);
    LogLine(log, "Generated %d candidates\n", candidates);
    LogLine(log, "Generated %d tests\n", tests);
    physics::WarmUp();
    TraceTestShots(tables, threads);
}

}  // namespace search
