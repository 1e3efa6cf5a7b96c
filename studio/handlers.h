#pragma once

#include "studio/analysis.h"
#include "studio/api_reply.h"
#include "studio/games.h"

#include <string>

// The API's handlers that answer at once, apart from the transport, so that tests and the fuzzer call
// them directly.
namespace studio {

// The position of an analysis request; false with the reason a 400 gives.
[[nodiscard]] bool ReadAnalyseRequest(const std::string& body, records::GameState& state, std::string& error);

// POST /api/analyse: {"stones", "shotNumber"}. 503 when the queue of analyses is full.
ApiReply AnalyseReply(Analyser& analyser, const std::string& body);

// GET /api/analyse/progress.
ApiReply ProgressReply(const Analyser& analyser);

// POST /api/games: {"players", "ends", "seed", "firstHammer"}.
ApiReply CreateGameReply(GameTable& games, const std::string& body);

// POST /api/games/{id}/shot: {"shot": {"vx", "vy", "curl"}} or {"target": {"x", "y", "curl"}}, a
// target turned into a shot as the simulator library's CreateShot turns it.
ApiReply PersonShotReply(GameTable& games, const std::string& id, const std::string& body);

// The reason given for an error status that a handler left without one (the transport's own refusals).
std::string StatusReason(int status);

}  // namespace studio
