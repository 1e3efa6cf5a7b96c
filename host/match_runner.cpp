#include "host/match_runner.h"

#include "host/game_runner.h"

#include <sys/stat.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
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
        std::fprintf(file, "%s\n", LineScore(log).c_str());
    }
    std::fputs(summary.c_str(), file);
    std::fclose(file);
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

bool RunMatch(const MatchOptions& options, const std::string& folder, const SheetModel& model,
              Console& console, std::vector<GameLog>& logs, std::string& error) {
    for (int game = 1; game <= options.games; ++game) {
        if (!MakeFolders(GameFolder(folder, game, options.games), error)) {
            return false;
        }
    }
    logs.assign(static_cast<std::size_t>(options.games), GameLog());
    std::atomic<int> next{0};
    auto worker = [&]() {
        for (int index = next++; index < options.games; index = next++) {
            GameSetup setup;
            setup.game = index + 1;
            setup.engines[0] = options.engines[0];
            setup.engines[1] = options.engines[1];
            setup.ends = options.ends;
            setup.firstHammer = FirstHammer(setup.game);
            setup.seed = options.seed;
            setup.noiseScale = options.noise;
            setup.shotTimeout = options.shotTimeout;
            setup.graceSeconds = options.graceSeconds;
            setup.logLimitBytes = options.logLimitBytes;
            setup.folder = GameFolder(folder, setup.game, options.games);
            logs[static_cast<std::size_t>(index)] =
                PlayGame(setup, model, [&console](const GameLog& log) { ShowProgress(console, log); });
            ShowResult(console, logs[static_cast<std::size_t>(index)]);
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
    if (options.games > 1) {
        MatchTally tally;
        for (const GameLog& log : logs) {
            AddGame(tally, log.outcome);
        }
        std::string summary = MatchSummary(tally, options.engines, options.games);
        std::printf("%s", summary.c_str());
        WriteSummary(folder + "/summary.txt", logs, summary);
    }
    return true;
}

}  // namespace host
