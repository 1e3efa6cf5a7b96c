#pragma once

#include "studio/api_reply.h"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

// The match folders that the match host writes, as Watch shows them: a match of one game keeps its
// record.jsonl in its own folder, a longer one in game-NNN folders within it.
namespace studio {

// {"matches": [{"name", "games": [{"game": "" or "game-001", "finished"}]}]}, by name; folders without a
// record are left out.
nlohmann::json MatchListJson(const std::string& root);

// The record of one game: `game` is "" for a match of one game. False with the refusal when a name
// leaves the matches folder (403) or names no record (404).
[[nodiscard]] bool FindRecord(const std::string& root, const std::string& match, const std::string& game,
                              std::string& path, ApiReply& refusal);

// The whole lines the file holds past `offset`, which moves past them; a line still being written stays
// for the next call. At most `limit` bytes are read at once.
std::vector<std::string> ReadNewLines(const std::string& path, long long& offset,
                                      std::size_t limit = 1 << 20);

}  // namespace studio
