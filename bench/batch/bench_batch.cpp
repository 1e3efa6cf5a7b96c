// The C++ side of the module's batch benchmark: the 10,994 test shots of a readiness check played on
// the empty sheet and on the crowded house, as a plain loop over SimulateShot on one thread and through
// the module's batch runner on two. Prints shots per second, the fastest of the rounds.
//
// Flags: bench_batch --help. bench_simulate_many.py runs it beside the module.

#include "bench/command_line/command_line.h"
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
    int rounds = 3;
    CLI::App app("Prints shots per second of a plain SimulateShot loop and of the module's batch runner.",
                 "bench_batch");
    app.add_option("rounds", rounds, "rounds; the fastest is printed (1 to 1000, default 3)")
        ->type_name("ROUNDS")
        ->check(CLI::Range(1, 1000).description(""));
    if (const int exitCode = bench::ParseCommandLine(app, argc, argv); exitCode >= 0) {
        return exitCode;
    }
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
