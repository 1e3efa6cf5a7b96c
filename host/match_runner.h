#pragma once

#include "host/console.h"
#include "host/game_log.h"
#include "host/match_stats.h"
#include "host/match_summary.h"
#include "host/options.h"
#include "host/sheet_model.h"

#include <string>
#include <vector>

namespace host {

// Where game `game` of a match writes its files: the match folder itself for a single game,
// otherwise a folder per game (game-001, game-002, …) inside it.
std::string GameFolder(const std::string& matchFolder, int game, int games);

// The first hammer alternates: the second engine holds it in odd-numbered games, the first in even.
int FirstHammer(int game);

// Game `game` of the match (1-based) as it is played: engines by team, first hammer, noise, folder.
GameSetup SetupOf(const MatchOptions& options, const std::string& matchFolder, int game);

// The finished games of the logs, each seen from the match's first engine, in game order.
std::vector<GameResult> ResultsOf(const std::vector<GameLog>& logs);

// Plays every game of the match, `options.jobs` at a time, into `folder` (created if needed), and
// prints each line score and, for several games, the summary. The logs come back in game order.
// False when a folder cannot be created.
[[nodiscard]] bool RunMatch(const MatchOptions& options, const std::string& folder, const SheetModel& model,
                            Console& console, std::vector<GameLog>& logs, std::string& error);

// What the terminal and summary.txt say of the games after their line scores.
std::string SummaryText(const MatchShard& shard, const MatchStatistics& statistics);

// A new, not yet existing folder under matches/ named after the local time.
std::string NewMatchFolder();

// Creates the folder and any missing parents. False with the reason when it cannot.
[[nodiscard]] bool MakeFolders(const std::string& path, std::string& error);

}  // namespace host
