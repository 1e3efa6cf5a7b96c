#include "host/match_runner.h"

#include "host/game_runner.h"

#include <sys/stat.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <mutex>
#include <thread>

namespace host {

namespace {

bool IsFolder(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

void WriteSummary(const std::string& path, const std::vector<GameLog>& logs, const std::string& summary) {
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (file == nullptr) {
        return;
    }
    for (const GameLog& log : logs) {
        if (log.finished) {
            std::fprintf(file, "%s\n", LineScore(log).c_str());
        }
    }
    std::fputs(summary.c_str(), file);
    std::fclose(file);
}

void WriteText(const std::string& path, const std::string& text) {
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (file != nullptr) {
        std::fputs(text.c_str(), file);
        std::fclose(file);
    }
}

}  // namespace

std::string GameFolder(const std::string& matchFolder, int game, int games) {
    if (games == 1) {
        return matchFolder;
    }
    char name[32];
    std::snprintf(name, sizeof(name), "/game-%03d", game);
    return matchFolder + name;
}

int FirstHammer(int game) {
    return game % 2 == 1 ? 1 : 0;
}

bool MakeFolders(const std::string& path, std::string& error) {
    for (std::size_t at = path.find('/', 1);; at = path.find('/', at + 1)) {
        std::string part = at == std::string::npos ? path : path.substr(0, at);
        if (!part.empty() && !IsFolder(part) && mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) {
            error = "cannot create the folder " + part + ": " + std::strerror(errno);
            return false;
        }
        if (at == std::string::npos) {
            break;
        }
    }
    if (!IsFolder(path)) {
        error = "not a folder: " + path;
        return false;
    }
    return true;
}

std::string NewMatchFolder() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof(stamp), "%Y%m%d-%H%M%S", &local);
    std::string base = std::string("matches/") + stamp;
    std::string path = base;
    for (int n = 2; IsFolder(path); ++n) {
        path = base + '-' + std::to_string(n);
    }
    return path;
}

// The setup of game `game` of the match. In a paired match the second game of a pair swaps the engines'
// colours and so the first hammer between them, and both draw the noise of the pair.
GameSetup SetupOf(const MatchOptions& options, const std::string& folder, int game) {
    GameSetup setup;
    setup.game = game;
    const bool swapped = options.paired && game % 2 == 0;
    setup.engine1Team = swapped ? 1 : 0;
    setup.engines[setup.engine1Team] = options.engines[0];
    setup.engines[1 - setup.engine1Team] = options.engines[1];
    setup.pair = options.paired ? (game + 1) / 2 : 0;
    setup.firstHammer = options.paired ? 1 : FirstHammer(game);
    setup.ends = options.ends;
    setup.seed = options.seed;
    setup.noiseScale = options.noise;
    setup.shotTimeout = options.shotTimeout;
    setup.graceSeconds = options.graceSeconds;
    setup.logLimitBytes = options.logLimitBytes;
    setup.folder = GameFolder(folder, game, options.games);
    return setup;
}

std::vector<GameResult> ResultsOf(const std::vector<GameLog>& logs) {
    std::vector<GameResult> results;
    for (const GameLog& log : logs) {
        if (log.finished) {
            results.push_back(ResultOf(log, log.setup.engine1Team));
        }
    }
    return results;
}

bool RunMatch(const MatchOptions& options, const std::string& folder, const SheetModel& model,
              Console& console, std::vector<GameLog>& logs, std::string& error) {
    if (!MakeFolders(folder, error)) {
        return false;
    }
    logs.assign(static_cast<std::size_t>(options.games), GameLog());
    std::mutex mutex;  // guards logs and failure between games
    std::string failure;
    std::atomic<int> next{0};
    std::atomic<bool> decided{false};
    auto worker = [&]() {
        for (int index = next++; index < options.games && !decided; index = next++) {
            GameSetup setup = SetupOf(options, folder, index + 1);
            std::string folderError;
            if (!MakeFolders(setup.folder, folderError)) {
                std::lock_guard<std::mutex> lock(mutex);
                failure = folderError;
                decided = true;
                return;
            }
            GameLog log =
                PlayGame(setup, model, [&console](const GameLog& game) { ShowProgress(console, game); });
            ShowResult(console, log);
            std::lock_guard<std::mutex> lock(mutex);
            logs[static_cast<std::size_t>(index)] = log;
            if (options.games > 1) {
                const MatchStatistics statistics = Summarise(ResultsOf(logs), options.paired, options.sprt);
                ShowMatchStatus(console, StatisticsLine(statistics, options.sprt));
                decided = decided || statistics.sprt != SprtState::Running;
            }
        }
    };
    int threads = options.jobs < options.games ? options.jobs : options.games;
    std::vector<std::thread> pool;
    for (int i = 1; i < threads; ++i) {
        pool.emplace_back(worker);
    }
    worker();
    for (std::thread& thread : pool) {
        thread.join();
    }
    if (!failure.empty()) {
        error = failure;
        return false;
    }
    if (options.games > 1) {
        MatchTally tally;
        int played = 0;
        for (const GameLog& log : logs) {
            if (log.finished) {
                AddGame(tally, log.outcome, log.setup.engine1Team);
                ++played;
            }
        }
        const MatchStatistics statistics = Summarise(ResultsOf(logs), options.paired, options.sprt);
        const std::string summary =
            MatchSummary(tally, options.engines, played) + "\n" + StatisticsText(statistics, options.sprt);
        std::printf("%s", summary.c_str());
        WriteSummary(folder + "/summary.txt", logs, summary);
        WriteText(folder + "/summary.json", StatisticsJson(statistics, options.sprt));
    }
    return true;
}

}  // namespace host
