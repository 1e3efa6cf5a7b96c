// Prints median wall times of a readiness check (PrepareSearch through the real simulator library) and
// of a whole GO search on a few positions. Flags: bench_search --help. The search writes no report
// while it is timed.

#include "bench/command_line/command_line.h"
#include "platform/shared_library.h"
#include "search/search.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <initializer_list>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Position {
    const char* name;
    records::GameState state;
};

records::GameState Record(int shotNumber, std::initializer_list<records::StonePosition> stones) {
    records::GameState state{};
    state.shotNumber = shotNumber;
    int index = 0;
    for (records::StonePosition stone : stones) {
        state.stones[index++] = stone;
    }
    return state;
}

std::vector<Position> Positions() {
    return {
        {"empty sheet, first stone", Record(0, {})},
        {"two guards, two in the house", Record(4, {{2.2f, 8.6f}, {2.6f, 9.1f}, {2.3f, 5.2f}, {2.9f, 4.4f}})},
        {"crowded house, 12 stones", Record(12, {{2.375f, 4.9f},
                                                 {2.1f, 5.3f},
                                                 {2.7f, 4.5f},
                                                 {1.9f, 4.1f},
                                                 {2.9f, 5.6f},
                                                 {2.4f, 6.0f},
                                                 {1.6f, 5.0f},
                                                 {3.2f, 4.9f},
                                                 {2.2f, 3.6f},
                                                 {2.8f, 3.9f},
                                                 {2.375f, 7.5f},
                                                 {2.0f, 8.2f}})},
        {"last stone, one up each side",
         Record(15, {{2.375f, 5.2f}, {2.5f, 4.6f}, {2.1f, 8.4f}, {0.0f, 0.0f}, {3.0f, 5.5f}})},
    };
}

double MedianMilliseconds(int runs, const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        Clock::time_point start = Clock::now();
        work();
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 3;
    CLI::App app("Prints median wall times of a readiness check and of a whole GO search on a few positions.",
                 "bench_search");
    app.add_option("runs", runs, "runs per figure; the median is printed (1 to 1000, default 3)")
        ->type_name("RUNS")
        ->check(CLI::Range(1, 1000).description(""));
    if (const int exitCode = bench::ParseCommandLine(app, argc, argv); exitCode >= 0) {
        return exitCode;
    }
    void* library = platform::LoadSharedLibrary(SIMULATOR_LIBRARY_PATH);
    auto createShot =
        library != nullptr
            ? reinterpret_cast<records::CreateShotFunction>(platform::FindSymbol(library, "CreateShot"))
            : nullptr;
    if (createShot == nullptr) {
        std::printf("cannot load CreateShot from %s\n", SIMULATOR_LIBRARY_PATH);
        return 1;
    }
    std::printf("median of %d runs, %u hardware threads\n", runs, std::thread::hardware_concurrency());
    search::Search search;
    std::printf("%-32s %10.1f ms\n", "ISREADY (Search::Prepare)",
                MedianMilliseconds(runs, [&] { search.Prepare(createShot, nullptr); }));
    std::fflush(stdout);
    for (const Position& position : Positions()) {
        records::ShotVector shot{};
        double time = MedianMilliseconds(runs, [&] { shot = search.Go(position.state, nullptr).shot; });
        std::printf("GO %-29s %10.1f ms   BESTSHOT %f %f %d\n", position.name, time, shot.vx, shot.vy,
                    shot.curl);
        std::fflush(stdout);
    }
    return 0;
}
