#pragma once

#include "host/match_rules.h"
#include "host/match_stats.h"
#include "host/options.h"

#include <string>
#include <vector>

// summary.json: what a match, or a shard of one (--game-range), played, enough to pool shards played
// on other machines into the whole match. `curling-match merge` reads them back.
namespace host {

// What makes two shards parts of the same match.
struct MatchSettings {
    std::string engines[2];
    int ends = 8;
    int games = 1;
    unsigned long long seed = 1;
    double noise = 1.0;
    double shotTimeout = 120.0;
    bool paired = false;
    SprtSettings sprt;
};

MatchSettings SettingsOf(const MatchOptions& options);
bool SameSettings(const MatchSettings& a, const MatchSettings& b);

struct MatchShard {
    MatchSettings settings;
    int firstGame = 1;  // the games first..endGame-1 were to be played
    int endGame = 2;
    std::vector<GameResult> results;  // those finished, in game order
};

std::string SummaryJson(const MatchShard& shard, const MatchStatistics& statistics);
[[nodiscard]] bool ReadSummary(const std::string& text, MatchShard& shard, std::string& error);

// Wins, losses, draws and points of each engine over the games.
MatchTally TallyOf(const std::vector<GameResult>& results);

}  // namespace host
