// Micro benchmarks: one call of each hot operation of the layers, timed by Google Benchmark, on the
// tests' positions (tests/fixtures/positions). Flags: bench_micro --help (Google Benchmark's own).

#include "evaluation/position_evaluation.h"
#include "physics/play/play_step.h"
#include "physics/simulate_shot.h"
#include "physics/world/world.h"
#include "records/sheet.h"
#include "search/grid.h"
#include "search/search.h"
#include "search/selection.h"
#include "simulator/shot_inverse.h"
#include "tests/fixtures/position_file.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

const records::GameState& Position(const std::string& name) {
    static const std::vector<fixtures::PositionFile> files = fixtures::LoadPositionFiles();
    for (const fixtures::PositionFile& file : files) {
        if (file.name == name) {
            return file.state;
        }
    }
    std::fprintf(stderr, "bench_micro: no position %s in %s\n", name.c_str(), FIXTURE_POSITIONS_DIR);
    std::exit(1);
}

physics::SimulationPath PathOf(const benchmark::State& state) {
    return state.range(0) != 0 ? physics::SimulationPath::Plain : physics::SimulationPath::Fast;
}

// Plays `shot` on a copy of `record` per iteration, with one scratch as a search worker keeps it.
void PlayShot(benchmark::State& state, const records::GameState& record, records::ShotVector shot) {
    physics::SimulationScratch scratch;
    for (auto _ : state) {
        records::GameState copy = record;
        benchmark::DoNotOptimize(physics::SimulateShot(copy, shot, scratch, PathOf(state)));
        benchmark::DoNotOptimize(copy);
    }
}

// A lone stone's run: a draw to the tee on the empty sheet.
void LoneDraw(benchmark::State& state) {
    const records::ShotTarget tee = records::MakeShotTarget(records::TeeX, records::TeeY, 0);
    PlayShot(state, Position("empty_sheet"), simulator::ShotForTarget(tee));
}
BENCHMARK(LoneDraw)->ArgName("plain")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// A takeout through the tee into the eight stones of a crowded house.
void TakeoutIntoCrowdedHouse(benchmark::State& state) {
    const records::ShotTarget pastTheTee = records::MakeShotTarget(records::TeeX, -27.0f, 0);
    PlayShot(state, Position("crowded_house_shot8"), simulator::ShotForTarget(pastTheTee));
}
BENCHMARK(TakeoutIntoCrowdedHouse)->ArgName("plain")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// One step of the stone world holding the hostile block of fifteen overlapping stones, every one awake
// and touching its neighbours, and a draw on its way: the world a few steps into the play, copied
// afresh each iteration (the copy is part of the figure) so that every step solves the same contacts.
void WorldStepOfTouchingBlock(benchmark::State& state) {
    static const std::vector<fixtures::PositionFile> piles = fixtures::LoadPositionFiles(FIXTURE_HOSTILE_DIR);
    const records::GameState* block = nullptr;
    for (const fixtures::PositionFile& file : piles) {
        block = file.name == "fifteen_frozen" ? &file.state : block;
    }
    if (block == nullptr) {
        std::fprintf(stderr, "bench_micro: no position fifteen_frozen in %s\n", FIXTURE_HOSTILE_DIR);
        std::exit(1);
    }
    const records::ShotTarget tee = records::MakeShotTarget(records::TeeX, records::TeeY, 0);
    physics::World start = physics::StartPlay(*block, simulator::ShotForTarget(tee));
    for (int step = 0; step < 3; ++step) {
        static_cast<void>(physics::PlayOverAfterStep(start));
    }
    int touching = 0;
    for (int32_t c = start.contactList; c != physics::NullContact; c = start.contacts[c].next) {
        touching += start.contacts[c].touching ? 1 : 0;
    }
    for (auto _ : state) {
        physics::World world = start;
        physics::StepWorld(world, physics::TimeStep);
        benchmark::DoNotOptimize(world);
    }
    state.counters["stones"] = static_cast<double>(start.stoneCount);
    state.counters["touching"] = touching;
}
BENCHMARK(WorldStepOfTouchingBlock)->Unit(benchmark::kMicrosecond);

// CreateShot: the target of each cell of the test grid in turn, after the first call built the table.
void CreateShot(benchmark::State& state) {
    std::vector<records::ShotTarget> targets;
    search::ForEachCell(search::TestGrid, [&](int curl, int row, int column) {
        targets.push_back(search::CellTarget(search::TestGrid, curl, row, column));
    });
    benchmark::DoNotOptimize(simulator::ShotForTarget(targets.front()));
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(simulator::ShotForTarget(targets[next]));
        next = next + 1 < targets.size() ? next + 1 : 0;
    }
}
BENCHMARK(CreateShot);

// Valuing one record as a test's outcome: mid-end (stones in the house counted) and after the last
// stone (the end scored).
void ValueOutcome(benchmark::State& state) {
    const records::GameState& record =
        Position(state.range(0) != 0 ? "last_stone_shot15" : "crowded_house_shot8");
    records::GameState after = record;
    after.shotNumber += 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(evaluation::ShotOutcomeValue(record.shotNumber, after));
    }
}
BENCHMARK(ValueOutcome)->ArgName("last")->Arg(0)->Arg(1);

// The selection: every candidate's expected value over its window of the value table, filled by a real
// search of the crowded house.
void Selection(benchmark::State& state) {
    static const std::unique_ptr<search::Search> search = [] {
        auto filled = std::make_unique<search::Search>();
        filled->Prepare(simulator::WriteShotForTarget, nullptr);
        filled->EvaluateTests(Position("crowded_house_shot8"), nullptr);
        return filled;
    }();
    for (auto _ : state) {
        benchmark::DoNotOptimize(search::ChooseCandidate(search->GetTables(), search->Values()));
    }
}
BENCHMARK(Selection)->Unit(benchmark::kMillisecond);

void PrintHelp() {
    std::printf(
        "Micro benchmarks of the layers' hot calls on the tests' positions, timed by Google Benchmark.\n"
        "Usage: bench_micro [FLAGS]\n"
        "\n"
        "  --benchmark_filter=REGEX       run only the benchmarks whose name matches (default: all)\n"
        "  --benchmark_min_time=SEC       time each benchmark for at least SEC seconds (default 0.5)\n"
        "  --benchmark_repetitions=N      run each N times and add their mean, median and spread\n"
        "                                 (default 1)\n"
        "  --benchmark_format=FORMAT      console, json or csv (default console)\n"
        "  --benchmark_out=FILE           also write the results to FILE (default: none)\n"
        "  --benchmark_out_format=FORMAT  json, console or csv for --benchmark_out (default json)\n"
        "  --benchmark_time_unit=UNIT     ns, us, ms or s for every benchmark (default: each its own)\n"
        "  --benchmark_list_tests=true    list the benchmarks and run none\n"
        "  --help                         this text\n"
        "\n"
        "Every flag Google Benchmark reads:\n");
    benchmark::PrintDefaultHelp();
}

}  // namespace

int main(int argc, char** argv) {
    physics::WarmUp();
    benchmark::Initialize(&argc, argv, PrintHelp);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 2;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
