// A real engine process timed as a host drives it: ISREADY, then for every benchmark position its
// commands and GO, one reply awaited at a time. Any engine program will do, so one harness times the
// Linux engine and the Windows one under wine alike. Prints the median ISREADY and GO times over the
// runs, per position the median GO time, and the processor time the engine used; --keep writes the
// first run's replies (replies.txt) and standard error (report.txt) into a folder, for comparing two
// engines byte for byte.
// Flags: bench_engine --help.

#include "bench/command_line/command_line.h"
#include "bench/speed/bench_options.h"
#include "bench/speed/engine_session.h"
#include "tests/fixtures/position_file.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using bench::Median;
struct Options {
    std::string engine = ENGINE_PATH;
    int runs = 3;
    std::string positions = FIXTURE_POSITIONS_DIR;
    std::string keep;
};

// The flags, their defaults those of `options`.
void AddFlags(CLI::App& app, Options& options) {
    app.add_option("--engine", options.engine,
                   "the engine program to time (default: the curling-engine beside this)")
        ->type_name("PATH");
    app.add_option("--runs", options.runs,
                   "runs over all positions; medians are printed (1 to 1000, default 3)")
        ->type_name("N")
        ->check(CLI::Range(1, 1000).description(""));
    app.add_option("--positions", options.positions,
                   "a folder of position files (default: tests/fixtures/positions)")
        ->type_name("FOLDER");
    app.add_option("--keep", options.keep,
                   "write the first run's replies (replies.txt) and standard error (report.txt) here")
        ->type_name("FOLDER");
}

bool WriteFile(const std::string& path, const std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    bool ok = file != nullptr && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return file != nullptr && std::fclose(file) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    CLI::App app("Times a real engine process as a host drives it: ISREADY, then GO on every position.",
                 "bench_engine");
    AddFlags(app, options);
    if (const int exitCode = bench::ParseCommandLine(app, argc, argv); exitCode >= 0) {
        return exitCode;
    }
    const std::vector<fixtures::PositionFile> files = fixtures::LoadPositionFiles(options.positions);
    if (files.empty()) {
        std::fprintf(stderr, "no positions in %s\n", options.positions.c_str());
        return 1;
    }
    std::vector<std::string> blocks;
    for (const fixtures::PositionFile& file : files) {
        blocks.push_back(file.commands);
    }
    std::vector<double> ready;
    std::vector<double> cpu;
    std::vector<std::vector<double>> goes(files.size());
    for (int run = 0; run < options.runs; ++run) {
        const std::string report = run == 0 && !options.keep.empty() ? options.keep + "/report.txt" : "";
        const bench::EngineSession session = bench::RunEngineSession(options.engine, blocks, report);
        if (!session.completed || (run == 0 && !options.keep.empty() &&
                                   !WriteFile(options.keep + "/replies.txt", session.replies))) {
            std::fprintf(stderr, "%s did not answer every command and exit, or %s cannot be written\n",
                         options.engine.c_str(), options.keep.c_str());
            return 1;
        }
        ready.push_back(session.readyMilliseconds);
        cpu.push_back(session.cpuSeconds);
        for (std::size_t i = 0; i < files.size(); ++i) {
            goes[i].push_back(session.goMilliseconds[i]);
        }
    }
    std::printf("%s, median of %d runs\n%-26s %10s\n", options.engine.c_str(), options.runs, "position",
                "GO ms");
    std::vector<double> medians;
    for (std::size_t i = 0; i < files.size(); ++i) {
        medians.push_back(Median(goes[i]));
        std::printf("%-26s %10.1f\n", files[i].name.c_str(), medians.back());
    }
    std::printf("ISREADY %.1f ms; GO over %zu positions: median %.1f ms, slowest %.1f ms\n", Median(ready),
                files.size(), Median(medians), *std::max_element(medians.begin(), medians.end()));
    // Unlike the times, the processor time of a run hardly changes when other programs load the machine.
    std::printf("processor time of the engine process over a run: %.2f s\n", Median(cpu));
    return 0;
}
