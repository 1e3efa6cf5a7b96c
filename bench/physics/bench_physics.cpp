// Prints the cost of the physics the engine leans on: one lone draw, one collision shot, and the
// 19,976 CreateShot calls of a ready check (the first pass also builds the library's table).

#include "physics/simulate_shot.h"

#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The engine's candidate grid then its test grid, each curl 0 then 1, strong rows then the draw grid.
std::vector<ShotTarget> ReadyCheckTargets() {
    struct Grid {
        int strongFirst, strongLast, drawRowFirst, drawRowLast, drawColumnReach;
    };
    std::vector<ShotTarget> targets;
    for (const Grid& grid : {Grid{0, 355, -17, 13, 26}, Grid{-7, 362, -23, 19, 29}}) {
        for (int curl = 0; curl < 2; ++curl) {
            for (int row = 0; row < 8; ++row) {
                for (int u = grid.strongFirst; u <= grid.strongLast; ++u) {
                    const double product = static_cast<float>(u) * 0.145f;
                    targets.push_back(MakeShotTarget(static_cast<float>(product / 5.0 + 0.5),
                                                     static_cast<float>(-6.039 - 7.0 * row), curl));
                }
            }
            for (int v = grid.drawRowFirst; v <= grid.drawRowLast; ++v) {
                for (int u = -grid.drawColumnReach; u <= grid.drawColumnReach; ++u) {
                    const double product = static_cast<float>(u) * 0.145f;
                    targets.push_back(MakeShotTarget(static_cast<float>(product * 0.5 + 2.375),
                                                     static_cast<float>(v) * 0.145f + 4.88f, curl));
                }
            }
        }
    }
    return targets;
}

double CreateShotPass(CreateShotFunction createShot, const std::vector<ShotTarget>& targets) {
    std::vector<ShotVector> shots(targets.size());
    const Clock::time_point start = Clock::now();
    for (std::size_t i = 0; i < targets.size(); ++i) {
        createShot(targets[i], &shots[i]);
    }
    return MillisecondsSince(start);
}

// Mean milliseconds of one SimulateShot over `repeats` runs on copies of the record.
double SimulateShotCost(const GameState& record, const ShotVector& shot, int repeats) {
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < repeats; ++i) {
        GameState state = record;
        physics::SimulateShot(state, shot);
    }
    return MillisecondsSince(start) / repeats;
}

GameState CrowdedHouse() {
    GameState state{};
    state.shotNumber = 8;
    for (int i = 0; i < state.shotNumber; ++i) {
        state.stones[i] = {2.0f + 0.31f * static_cast<float>(i % 3),
                           4.4f + 0.33f * static_cast<float>(i / 3)};
    }
    return state;
}

}  // namespace

int main() {
    void* library = dlopen(SIMULATOR_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    auto createShot =
        library != nullptr ? reinterpret_cast<CreateShotFunction>(dlsym(library, "CreateShot")) : nullptr;
    if (createShot == nullptr) {
        std::fprintf(stderr, "cannot load %s\n", SIMULATOR_LIBRARY_PATH);
        return 1;
    }
    const std::vector<ShotTarget> targets = ReadyCheckTargets();
    const double firstPass = CreateShotPass(createShot, targets);
    double laterPass = 1e300;
    for (int pass = 0; pass < 5; ++pass) {
        laterPass = std::min(laterPass, CreateShotPass(createShot, targets));
    }
    std::printf("CreateShot, %zu calls of a ready check: first %.1f ms (table built), then %.1f ms\n",
                targets.size(), firstPass, laterPass);

    physics::WarmUp();
    ShotVector draw{};
    createShot(MakeShotTarget(2.375f, 4.88f, 0), &draw);
    std::printf("SimulateShot, lone draw to the tee: %.3f ms\n", SimulateShotCost(GameState{}, draw, 200));
    const ShotVector takeout{-0.3f, -40.0f, 0, {}};
    std::printf("SimulateShot, takeout into 8 stones: %.3f ms\n",
                SimulateShotCost(CrowdedHouse(), takeout, 200));
    dlclose(library);
    return 0;
}
