// The C++ side of the module's batch benchmark: the 10,994 test shots of a readiness check played on
// the empty sheet and on the crowded house, as a plain loop over SimulateShot on one thread and through
// the module's batch runner on two. Prints shots per second, the fastest of the rounds.
//
// Usage: bench_batch [rounds] (3 by default). bench_simulate_many.py runs it beside the module.

#include "physics/simulate_shot.h"
#include "python/batch.h"
#include "search/search.h"
#include "simulator/shot_inverse.h"
#include "tests/fixtures/position_file.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double LoopSeconds(const records::GameState& start, const std::vector<records::ShotVector>& shots) {
    physics::SimulationScratch scratch;
    std::vector<records::GameState> ends(shots.size());
    const Clock::time_point begin = Clock::now();
    for (std::size_t i = 0; i < shots.size(); ++i) {
        ends[i] = start;
        static_cast<void>(physics::SimulateShot(ends[i], shots[i], scratch));  // shot numbers in 0..15
    }
    return SecondsSince(begin);
}

double BatchSeconds(const records::GameState& start, const std::vector<records::ShotVector>& shots) {
    const Clock::time_point begin = Clock::now();
    const std::vector<records::GameState> ends = python::SimulateBatch({start}, shots, 2);
    return SecondsSince(begin);
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    search::Search search;
    search.Prepare(simulator::WriteShotForTarget, nullptr);
    const auto& cells = search.GetTables().testShots.cells;
    const std::vector<records::ShotVector> shots(std::begin(cells), std::end(cells));
    physics::WarmUp();
    for (const fixtures::PositionFile& position : fixtures::LoadPositionFiles()) {
        if (position.name != "empty_sheet" && position.name != "crowded_house_shot8") {
            continue;
        }
        double loop = 1e300, batch = 1e300;
        for (int round = 0; round < rounds; ++round) {
            loop = std::min(loop, LoopSeconds(position.state, shots));
            batch = std::min(batch, BatchSeconds(position.state, shots));
        }
        std::printf("%s, C++ loop, 1 thread: %.0f shots/s\n", position.name.c_str(), shots.size() / loop);
        std::printf("%s, C++ batch, 2 threads: %.0f shots/s\n", position.name.c_str(), shots.size() / batch);
    }
    return 0;
}
