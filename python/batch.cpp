#include "python/batch.h"

#include "physics/simulate_shot.h"

#include <algorithm>
#include <atomic>
#include <cassert>
#include <thread>

namespace python {

namespace {

// Shots a thread takes at a time: few enough to even out collision-heavy runs, enough to keep the
// shared counter cold.
constexpr int RunLength = 8;

}  // namespace

std::vector<records::GameState> SimulateBatch(const std::vector<records::GameState>& starts,
                                              const std::vector<records::ShotVector>& shots, int threads) {
    assert(starts.size() == 1 || starts.size() == shots.size());
    const int count = static_cast<int>(shots.size());
    std::vector<records::GameState> ends(shots.size());
    std::atomic<int> next{0};
    auto play = [&] {
        physics::SimulationScratch scratch;
        for (int first = next.fetch_add(RunLength); first < count; first = next.fetch_add(RunLength)) {
            for (int i = first; i < std::min(first + RunLength, count); ++i) {
                records::GameState state = starts[starts.size() == 1 ? 0 : static_cast<std::size_t>(i)];
                // Every record's shot number was checked to lie in 0..15, so each shot is played.
                static_cast<void>(physics::SimulateShot(state, shots[static_cast<std::size_t>(i)], scratch));
                ends[static_cast<std::size_t>(i)] = state;
            }
        }
    };
    physics::WarmUp();
    const int helpers = std::max(0, std::min(threads, (count + RunLength - 1) / RunLength) - 1);
    std::vector<std::thread> workers;
    workers.reserve(static_cast<std::size_t>(helpers));
    for (int t = 0; t < helpers; ++t) {
        workers.emplace_back(play);
    }
    play();
    for (std::thread& worker : workers) {
        worker.join();
    }
    return ends;
}

}  // namespace python
