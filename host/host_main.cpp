#include "host/host_main.h"

#include "host/console.h"
#include "host/engine_process.h"
#include "host/match_runner.h"
#include "host/options.h"
#include "host/sheet_model.h"

#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace host {

namespace {

char interruptMessage[4096];

// Engines must not outlive the host, and the user should learn where the record so far lies.
void OnInterrupt(int) {
    KillAllEngines();
    ssize_t ignored = write(STDERR_FILENO, interruptMessage, std::strlen(interruptMessage));
    (void)ignored;
    _exit(130);
}

void CatchInterrupts(const std::string& folder) {
    std::snprintf(interruptMessage, sizeof(interruptMessage),
                  "\ncurling-match: interrupted; the record so far is in %s\n", folder.c_str());
    struct sigaction action;
    std::memset(&action, 0, sizeof(action));
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        sigaction(signalNumber, &action, nullptr);
    }
}

std::string ExecutableFolder() {
    char path[4096];
    ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (length <= 0) {
        return ".";
    }
    std::string full(path, static_cast<std::size_t>(length));
    return full.substr(0, full.rfind('/'));
}

}  // namespace

int RunHost(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    MatchOptions options;
    std::string error;
    if (!ParseOptions(arguments, ExecutableFolder() + "/curling-engine", options, error)) {
        std::fprintf(stderr, "curling-match: %s\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::printf("%s", UsageText().c_str());
        return 0;
    }
    std::string folder = options.out.empty() ? NewMatchFolder() : options.out;
    signal(SIGPIPE, SIG_IGN);
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
