// Prints the cost of the physics the engine leans on: one lone draw, one collision shot, and the
// 19,976 CreateShot calls of a ready check (the first pass also builds the library's table).

#include "bench/command_line/command_line.h"
#include "physics/simulate_shot.h"
#include "platform/shared_library.h"
#include "records/sheet.h"
#include "search/grid.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The cells of a readiness check in its order: the candidate grid, then the test grid.
std::vector<records::ShotTarget> ReadyCheckTargets() {
    std::vector<records::ShotTarget> targets;
    for (const search::GridShape* grid : {&search::CandidateGrid, &search::TestGrid}) {
        search::ForEachCell(*grid, [&](int curl, int row, int column) {
            targets.push_back(search::CellTarget(*grid, curl, row, column));
        });
    }
    return targets;
}

double CreateShotPass(records::CreateShotFunction createShot,
                      const std::vector<records::ShotTarget>& targets) {
    std::vector<records::ShotVector> shots(targets.size());
    const Clock::time_point start = Clock::now();
    for (std::size_t i = 0; i < targets.size(); ++i) {
        createShot(targets[i], &shots[i]);
    }
    return MillisecondsSince(start);
}

// Mean milliseconds of one SimulateShot over `repeats` runs on copies of the record.
double SimulateShotCost(const records::GameState& record, const records::ShotVector& shot, int repeats) {
    physics::SimulationScratch scratch;
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < repeats; ++i) {
        records::GameState state = record;
        static_cast<void>(physics::SimulateShot(state, shot, scratch));
    }
    return MillisecondsSince(start) / repeats;
}

records::GameState CrowdedHouse() {
    records::GameState state{};
    state.shotNumber = 8;
    for (int i = 0; i < state.shotNumber; ++i) {
        state.stones[i] = {2.0f + 0.31f * static_cast<float>(i % 3),
                           4.4f + 0.33f * static_cast<float>(i / 3)};
    }
    return state;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app(
        "Prints the cost of one lone draw, one takeout into eight stones and the CreateShot calls of a\n"
        "ready check (the first pass also builds the library's table). Takes no flags.",
        "bench_physics");
    if (const int exitCode = bench::ParseCommandLine(app, argc, argv); exitCode >= 0) {
        return exitCode;
    }
    void* library = platform::LoadSharedLibrary(SIMULATOR_LIBRARY_PATH);
    auto createShot =
        library != nullptr
            ? reinterpret_cast<records::CreateShotFunction>(platform::FindSymbol(library, "CreateShot"))
            : nullptr;
    if (createShot == nullptr) {
        std::fprintf(stderr, "cannot load %s\n", SIMULATOR_LIBRARY_PATH);
        return 1;
    }
    const std::vector<records::ShotTarget> targets = ReadyCheckTargets();
    const double firstPass = CreateShotPass(createShot, targets);
    double laterPass = 1e300;
    for (int pass = 0; pass < 5; ++pass) {
        laterPass = std::min(laterPass, CreateShotPass(createShot, targets));
    }
    std::printf("CreateShot, %zu calls of a ready check: first %.1f ms (table built), then %.1f ms\n",
                targets.size(), firstPass, laterPass);

    physics::WarmUp();
    records::ShotVector draw{};
    createShot(records::MakeShotTarget(records::TeeX, records::TeeY, 0), &draw);
    std::printf("SimulateShot, lone draw to the tee: %.3f ms\n",
                SimulateShotCost(records::GameState{}, draw, 200));
    const records::ShotVector takeout{-0.3f, -40.0f, 0, {}};
    std::printf("SimulateShot, takeout into 8 stones: %.3f ms\n",
                SimulateShotCost(CrowdedHouse(), takeout, 200));
    return 0;
}
