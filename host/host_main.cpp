#include "host/host_main.h"

#include "host/console.h"
#include "host/match_merge.h"
#include "host/match_runner.h"
#include "host/options.h"
#include "host/sheet_model.h"
#include "platform/interrupt.h"
#include "platform/shared_library.h"

#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace host {

namespace {

// The engines must not outlive the host, and the user should learn where the record so far lies.
void CatchInterrupts(const std::string& folder) {
    platform::ExitOnInterrupt("\ncurling-match: interrupted; the record so far is in " + folder + "\n", 130);
}

std::string ExecutableFolder() {
    const std::string folder = platform::ExecutableDirectory();
    return folder.empty() ? "." : folder;
}

}  // namespace

int RunHost(int argc, char** argv) {
    CommandLine line;
    std::string error;
    if (!ParseCommandLine({argv + 1, argv + argc}, ExecutableFolder() + "/curling-engine", line, error)) {
        std::fprintf(stderr, "curling-match: %s\n", error.c_str());
        return 2;
    }
    if (line.command == HostCommand::Help) {
        std::printf("%s", line.help.c_str());
        return 0;
    }
    if (line.command == HostCommand::Merge) {
        return RunMerge(line.merge);
    }
    const MatchOptions& options = line.match;
    std::string folder = options.out.empty() ? NewMatchFolder() : options.out;
    signal(SIGPIPE, SIG_IGN);  // a reader that goes away is no reason to stop the match
    CatchInterrupts(folder);
    SheetModel model = EngineSheetModel();
    model.warmUp();
    Console console;
    console.live = isatty(STDERR_FILENO) != 0;
    std::printf("Playing %d game%s of %d end%s into %s\n", options.games, options.games > 1 ? "s" : "",
                options.ends, options.ends > 1 ? "s" : "", folder.c_str());
    std::fflush(stdout);
    std::vector<GameLog> logs;
    if (!RunMatch(options, folder, model, console, logs, error)) {
        std::fprintf(stderr, "curling-match: %s\n", error.c_str());
        return 1;
    }
    char* absolute = realpath(folder.c_str(), nullptr);
    std::printf("Replay (open it in a browser): %s/%s\n", absolute != nullptr ? absolute : folder.c_str(),
                options.games > 1 ? "game-*/replay.html" : "replay.html");
    std::free(absolute);
    return 0;
}

}  // namespace host
