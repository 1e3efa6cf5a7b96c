#pragma once

#include "python/game_in_play.h"

#include <string>
#include <vector>

// A game played from Python in the match host's own files, written by the host's own writers, so that
// its tools and replay page read it as one of theirs.
namespace python {

// The record.jsonl lines of the game so far, without line ends: the game line (the teams named by
// `names`), a line for every stone and every end, and the result line once the game is over.
std::vector<std::string> RecordLines(const GameInPlay& game, const std::string (&names)[2]);

// Writes record.jsonl, replay.html and replay-data.js into `folder`, which must exist, as curling-match
// writes them. False, with the reason, when a file cannot be written.
[[nodiscard]] bool SaveGame(const GameInPlay& game, const std::string (&names)[2], const std::string& folder,
                            std::string& error);

}  // namespace python
