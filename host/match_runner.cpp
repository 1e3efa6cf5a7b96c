#include "host/match_runner.h"

#include "host/game_runner.h"
#include "host/match_summary.h"

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
    // A shard plays its whole range: only the pooled games of the match can decide the test.
    const bool wholeMatch = options.firstGame == 1 && options.endGame == options.games + 1;
    std::mutex mutex;  // guards logs and failure between games
    std::string failure;
    std::atomic<int> next{options.firstGame};
    std::atomic<bool> decided{false};
    auto worker = [&]() {
        for (int game = next++; game < options.endGame && !decided; game = next++) {
            GameSetup setup = SetupOf(options, folder, game);
            std::string folderError;
            if (!MakeFolders(setup.folder, folderError)) {
                std::lock_guard<std::mutex> lock(mutex);
                failure = folderError;
                decided = true;
                return;
            }
            GameLog log =
                PlayGame(setup, model, [&console](const GameLog& played) { ShowProgress(console, played); });
            ShowResult(console, log);
            std::lock_guard<std::mutex> lock(mutex);
            logs[static_cast<std::size_t>(game - 1)] = log;
            if (options.games > 1) {
                const MatchStatistics statistics = Summarise(ResultsOf(logs), options.paired, options.sprt);
                ShowMatchStatus(console, StatisticsLine(statistics, options.sprt));
                decided = decided || (wholeMatch && statistics.sprt != SprtState::Running);
            }
        }
    };
    const int games = options.endGame - options.firstGame;
    int threads = options.jobs < games ? options.jobs : games;
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
        MatchShard shard{SettingsOf(options), options.firstGame, options.endGame, ResultsOf(logs)};
        const MatchStatistics statistics = Summarise(shard.results, options.paired, options.sprt);
        const std::string summary = SummaryText(shard, statistics);
        std::printf("%s", summary.c_str());
        WriteSummary(folder + "/summary.txt", logs, summary);
        WriteText(folder + "/summary.json", SummaryJson(shard, statistics));
    }
    return true;
}

std::string SummaryText(const MatchShard& shard, const MatchStatistics& statistics) {
    return MatchSummary(TallyOf(shard.results), shard.settings.engines,
                        static_cast<int>(shard.results.size())) +
           "\n" + StatisticsText(statistics, shard.settings.sprt);
}

}  // namespace host
