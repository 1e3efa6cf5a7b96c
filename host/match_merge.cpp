#include "host/match_merge.h"

#include "host/match_runner.h"
#include "host/match_summary.h"
#include "host/protocol.h"
#include "host/record_json.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace host {

namespace {

std::string ReadFile(const std::string& path, bool& found) {
    std::ifstream file(path, std::ios::binary);
    found = static_cast<bool>(file);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// Only the last line is read: a long game's record is large, and its result line closes it.
bool FinishedRecord(const std::string& text) {
    const std::size_t end = text.find_last_not_of('\n') + 1;  // 0 when there is no line at all
    const std::size_t start = end == 0 ? std::string::npos : text.rfind('\n', end - 1);
    const std::size_t first = start == std::string::npos ? 0 : start + 1;
    GameLog log;
    std::string error;
    return ReadRecordLine(text.substr(first, end - first), log, error) && log.finished;
}

// Why the shards do not make one whole match, or "" when they do; `whole` is then the match.
std::string Pool(const std::vector<std::string>& folders, MatchShard& whole) {
    std::vector<std::pair<MatchShard, std::string>> shards;
    for (const std::string& folder : folders) {
        bool found = false;
        const std::string text = ReadFile(folder + "/summary.json", found);
        MatchShard shard;
        std::string error;
        if (!found) {
            return "cannot read " + folder + "/summary.json";
        }
        if (!ReadSummary(text, shard, error)) {
            return folder + "/summary.json is not a match summary: " + error;
        }
        if (!shards.empty() && !SameSettings(shard.settings, shards.front().first.settings)) {
            return folder + " comes from other settings than " + shards.front().second;
        }
        shards.emplace_back(shard, folder);
    }
    std::sort(shards.begin(), shards.end(),
              [](const auto& a, const auto& b) { return a.first.firstGame < b.first.firstGame; });
    whole = MatchShard{shards.front().first.settings, 1, shards.front().first.settings.games + 1, {}};
    int next = 1;
    for (const auto& [shard, folder] : shards) {
        if (shard.firstGame < next) {
            return folder + " overlaps another shard: both play game " + std::to_string(shard.firstGame);
        }
        if (shard.firstGame > next) {
            return "no shard plays game " + std::to_string(next);
        }
        int expected = shard.firstGame;
        for (const GameResult& result : shard.results) {
            if (result.game != expected++) {
                return folder + " has no result for game " + std::to_string(expected - 1);
            }
            bool found = false;
            const std::string record =
                ReadFile(GameFolder(folder, result.game, shard.settings.games) + "/record.jsonl", found);
            if (!found || !FinishedRecord(record)) {
                return folder + " lacks the finished record of game " + std::to_string(result.game);
            }
            whole.results.push_back(result);
        }
        if (expected != shard.endGame) {
            return folder + " has no result for game " + std::to_string(expected);
        }
        next = shard.endGame;
    }
    return next == whole.endGame ? "" : "no shard plays game " + std::to_string(next);
}

}  // namespace

int RunMerge(const MergeOptions& options) {
    const std::vector<std::string>& folders = options.folders;
    const std::string& out = options.out;
    MatchShard whole;
    const std::string refusal = Pool(folders, whole);
    if (!refusal.empty()) {
        std::fprintf(stderr, "curling-match merge: %s\n", Printable(refusal).c_str());
        return 2;
    }
    const MatchStatistics statistics = Summarise(whole.results, whole.settings.paired, whole.settings.sprt);
    const std::string summary = SummaryText(whole, statistics);
    std::printf("%s", summary.c_str());
    std::string error;
    if (!out.empty()) {
        if (!MakeFolders(out, error)) {
            std::fprintf(stderr, "curling-match merge: %s\n", error.c_str());
            return 1;
        }
        WriteFile(out + "/summary.txt", summary);
        WriteFile(out + "/summary.json", SummaryJson(whole, statistics));
    }
    return 0;
}

}  // namespace host
