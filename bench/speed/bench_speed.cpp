// GO on every benchmark position through both simulation paths in the same run: the plain path (every
// test shot a full world stepped until every stone sleeps) and the engine's fast path. Prints the median
// GO time of each (valuing plus selection), their ratio, whether both chose the same shot from the same
// test values, the ISREADY time, and a real engine process's peak memory over ISREADY and every GO.
//
// Where two stones share a spot every plain play runs to the step cap and a plain GO takes the best
// part of an hour; there the plain time is estimated from every 64th test shot, played on two threads
// and timed once (marked "~"), and "same" compares those shots' values.
//
// With --fast-only the plain path is left out: for positions whose plain GO would take hours, such as
// those of tests/fixtures/hostile.
//
// Flags: bench_speed --help. The search writes no report.

#include "bench/command_line/command_line.h"
#include "bench/speed/bench_options.h"
#include "bench/speed/engine_session.h"
#include "evaluation/position_evaluation.h"
#include "platform/shared_library.h"
#include "search/search.h"
#include "tests/fixtures/position_file.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using bench::Median;
using Clock = std::chrono::steady_clock;
using physics::SimulationPath;

struct Options {
    int fastRuns = 5;
    int plainRuns = 3;
    std::string positions = FIXTURE_POSITIONS_DIR;
    std::string only;
    bool fastOnly = false;
};

void AddFlags(CLI::App& app, Options& options) {
    app.add_option("--fast-runs", options.fastRuns,
                   "GO runs per position on the fast path; the median is printed (1 to 1000, default 5)")
        ->type_name("N")
        ->check(CLI::Range(1, 1000).description(""));
    app.add_option("--plain-runs", options.plainRuns,
                   "GO runs per position on the plain path (1 to 1000, default 3)")
        ->type_name("N")
        ->check(CLI::Range(1, 1000).description(""));
    app.add_option("--positions", options.positions,
                   "a folder of position files (default: tests/fixtures/positions)")
        ->type_name("FOLDER");
    app.add_option("--only", options.only,
                   "time only the position of that file name, without .txt (default: all)")
        ->type_name("NAME");
    app.add_option("--fast-only", options.fastOnly, "yes: leave the plain path out (default no)")
        ->type_name("yes|no")
        ->check(CLI::IsMember({"yes", "no"}).description(""));
}

double TimeMilliseconds(const std::function<void()>& work) {
    const Clock::time_point start = Clock::now();
    work();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct PositionResult {
    std::string name;
    int shotNumber = 0;
    int stones = 0;
    double plainMs = 0.0;
    double fastMs = 0.0;
    bool sameAnswer = true;
    bool plainEstimated = false;
    physics::PlayCounters counters;  // of the last fast GO
};

constexpr int EstimateStride = 64;

// The plain GO time from every EstimateStride-th test shot, and whether their values match the fast ones.
PositionResult EstimatePlain(search::Search& search, const fixtures::PositionFile& file,
                             PositionResult result, const Options& options) {
    std::vector<double> fast;
    for (int round = 0; round < options.fastRuns; ++round) {
        fast.push_back(TimeMilliseconds([&] { search.Go(file.state, nullptr, SimulationPath::Fast); }));
    }
    result.fastMs = Median(fast);
    result.counters = search.Counters();
    result.plainEstimated = true;
    const search::ValueTable& fastValues = search.Values();
    const search::TestTable<records::ShotVector>& shots = search.GetTables().testShots;
    std::atomic<int> mismatches{0};
    auto play = [&](int part) {
        physics::SimulationScratch scratch;
        for (int k = part * EstimateStride; k < search::ValueTable::CellCount; k += 2 * EstimateStride) {
            records::GameState plain = file.state;
            static_cast<void>(physics::SimulateShot(plain, shots.cells[k], scratch, SimulationPath::Plain));
            const double value = evaluation::ShotOutcomeValue(file.state.shotNumber, plain);
            mismatches += std::memcmp(&value, &fastValues.cells[k], sizeof value) != 0;
        }
    };
    result.plainMs = EstimateStride * TimeMilliseconds([&] {
                         std::thread helper(play, 1);
                         play(0);
                         helper.join();
                     });
    result.sameAnswer = mismatches.load() == 0;
    return result;
}

int StonesInPlay(const records::GameState& state) {
    int count = 0;
    for (int i = 0; i < records::StoneCount && i < state.shotNumber; ++i) {
        count += state.stones[i].x != 0.0f || state.stones[i].y != 0.0f;
    }
    return count;
}

// Plain and fast runs alternate, so that a busy machine slows both alike.
PositionResult MeasurePosition(search::Search& search, const fixtures::PositionFile& file,
                               const Options& options) {
    auto plainValues = std::make_unique<search::ValueTable>();
    PositionResult result;
    result.name = file.name;
    result.shotNumber = file.state.shotNumber;
    result.stones = StonesInPlay(file.state);
    if (options.fastOnly) {
        std::vector<double> fast;
        for (int round = 0; round < options.fastRuns; ++round) {
            fast.push_back(TimeMilliseconds([&] { search.Go(file.state, nullptr, SimulationPath::Fast); }));
        }
        result.fastMs = Median(fast);
        result.counters = search.Counters();
        return result;
    }
    if (fixtures::StonesShareASpot(file.state)) {
        return EstimatePlain(search, file, result, options);
    }
    std::vector<double> plain;
    std::vector<double> fast;
    records::ShotVector plainShot{};
    const int rounds = std::max(options.fastRuns, options.plainRuns);
    for (int round = 0; round < rounds; ++round) {
        if (round < options.plainRuns) {
            plain.push_back(TimeMilliseconds(
                [&] { plainShot = search.Go(file.state, nullptr, SimulationPath::Plain).shot; }));
            *plainValues = search.Values();
        }
        if (round < options.fastRuns) {
            records::ShotVector fastShot{};
            fast.push_back(TimeMilliseconds(
                [&] { fastShot = search.Go(file.state, nullptr, SimulationPath::Fast).shot; }));
            result.counters = search.Counters();
            result.sameAnswer =
                result.sameAnswer && std::memcmp(&fastShot, &plainShot, sizeof fastShot) == 0 &&
                std::memcmp(plainValues->cells, search.Values().cells, sizeof plainValues->cells) == 0;
        }
    }
    result.plainMs = Median(plain);
    result.fastMs = Median(fast);
    return result;
}

void PrintSummary(const std::vector<PositionResult>& results, bool fastOnly) {
    std::vector<double> plain;
    std::vector<double> fast;
    std::vector<double> ratios;
    const PositionResult* slowest = nullptr;
    bool allSame = true;
    for (const PositionResult& r : results) {
        plain.push_back(r.plainMs);
        fast.push_back(r.fastMs);
        ratios.push_back(r.plainMs / r.fastMs);
        allSame = allSame && r.sameAnswer;
        if (slowest == nullptr || r.fastMs > slowest->fastMs) {
            slowest = &r;
        }
    }
    if (fastOnly) {
        std::printf("\nmedian fast GO over %zu positions: %.1f ms; slowest: %s, %.1f ms\n", results.size(),
                    Median(fast), slowest->name.c_str(), slowest->fastMs);
        return;
    }
    std::printf(
        "\nmedian GO over %zu positions: plain %.1f ms, fast %.1f ms: %.1fx faster "
        "(median of the per-position ratios %.1fx, lowest %.1fx)\n",
        results.size(), Median(plain), Median(fast), Median(plain) / Median(fast), Median(ratios),
        *std::min_element(ratios.begin(), ratios.end()));
    std::printf("slowest position on the fast path: %s, %.1f ms, %.1fx faster than plain\n",
                slowest->name.c_str(), slowest->fastMs, slowest->plainMs / slowest->fastMs);
    std::printf("same test values and answer on both paths: %s\n", allSame ? "every position" : "NO");
}

// Which skip decided the plays of a fast GO, and the world steps per play, full and skipped.
void PrintCounters(const std::vector<PositionResult>& results) {
    std::printf("\n%-26s %6s %7s %7s %7s %7s %7s %12s %12s\n", "fast GO of", "plays", "trace", "resumed",
                "settled", "quiet", "repeat", "steps/play", "skipped/play");
    for (const PositionResult& r : results) {
        const physics::PlayCounters& c = r.counters;
        const double plays = c.plays > 0 ? static_cast<double>(c.plays) : 1.0;
        std::printf("%-26s %6ld %7ld %7ld %7ld %7ld %7ld %12.1f %12.1f\n", r.name.c_str(), c.plays,
                    c.decidedByTrace, c.resumedFromTrace, c.startedSettled, c.decidedQuiet, c.decidedRepeat,
                    static_cast<double>(c.worldSteps) / plays, static_cast<double>(c.quietSteps) / plays);
    }
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    CLI::App app("Times GO on every position through the plain and the fast simulation paths.",
                 "bench_speed");
    AddFlags(app, options);
    if (const int exitCode = bench::ParseCommandLine(app, argc, argv); exitCode >= 0) {
        return exitCode;
    }
    std::vector<fixtures::PositionFile> files = fixtures::LoadPositionFiles(options.positions);
    if (!options.only.empty()) {
        files.erase(std::remove_if(files.begin(), files.end(),
                                   [&](const fixtures::PositionFile& f) { return f.name != options.only; }),
                    files.end());
    }
    void* library = platform::LoadSharedLibrary(SIMULATOR_LIBRARY_PATH);
    auto createShot =
        library != nullptr
            ? reinterpret_cast<records::CreateShotFunction>(platform::FindSymbol(library, "CreateShot"))
            : nullptr;
    if (files.empty() || createShot == nullptr) {
        std::fprintf(stderr, "no positions in %s, or no CreateShot in %s\n", options.positions.c_str(),
                     SIMULATOR_LIBRARY_PATH);
        return 1;
    }
    if (options.fastOnly) {
        std::printf("%u hardware threads; median of %d fast runs per position, no plain runs\n",
                    std::thread::hardware_concurrency(), options.fastRuns);
    } else {
        std::printf("%u hardware threads; median of %d fast and %d plain runs per position\n",
                    std::thread::hardware_concurrency(), options.fastRuns, options.plainRuns);
    }
    search::Search search;
    std::vector<double> ready;
    for (int i = 0; i < 5; ++i) {
        ready.push_back(TimeMilliseconds([&] { search.Prepare(createShot, nullptr); }));
    }
    std::printf("ISREADY (Search::Prepare, median of 5): %.1f ms\n\n", Median(ready));
    std::printf("%-26s %4s %6s %12s %11s %7s %5s\n", "position", "shot", "stones", "plain GO ms",
                "fast GO ms", "ratio", "same");
    std::fflush(stdout);
    std::vector<PositionResult> results;
    for (const fixtures::PositionFile& file : files) {
        results.push_back(MeasurePosition(search, file, options));
        const PositionResult& r = results.back();
        if (options.fastOnly) {
            std::printf("%-26s %4d %6d %12s %11.1f\n", r.name.c_str(), r.shotNumber, r.stones, "-", r.fastMs);
        } else {
            std::printf("%-26s %4d %6d %1s%11.1f %11.1f %6.1fx %5s\n", r.name.c_str(), r.shotNumber, r.stones,
                        r.plainEstimated ? "~" : " ", r.plainMs, r.fastMs, r.plainMs / r.fastMs,
                        r.sameAnswer ? "yes" : "NO");
        }
        std::fflush(stdout);
    }
    PrintSummary(results, options.fastOnly);
    PrintCounters(results);

    std::vector<std::string> blocks;
    for (const fixtures::PositionFile& file : files) {
        blocks.push_back(file.commands);
    }
    const bench::EngineSession session = bench::RunEngineSession(ENGINE_PATH, blocks);
    std::printf(
        "engine process, ISREADY then GO on every position: %s; ISREADY %.1f ms, median GO %.1f ms, "
        "peak memory %.1f MiB\n",
        session.completed ? "completed" : "FAILED", session.readyMilliseconds,
        session.goMilliseconds.empty() ? 0.0 : Median(session.goMilliseconds),
        static_cast<double>(session.peakKibibytes) / 1024.0);
    return session.completed ? 0 : 1;
}
