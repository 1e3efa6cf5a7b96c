#pragma once

#include "studio/api_reply.h"

#include <string>

namespace studio {

// POST /api/simulate: {"stones", "shotNumber", "shot": {"vx", "vy", "curl"}} or "target": {"x", "y",
// "curl"} in place of "shot"; with "noise": true, the match host's execution noise drawn from "seed"
// (and "game", default 1, and "end", default 0, as the host numbers its deliveries). Answers the shot sent
// and played, where it was aimed and where the noise moved it, the stones after the play with the
// stones out of play taken off as the host takes them, and every moving stone's path.
ApiReply SimulateReply(const std::string& body);

}  // namespace studio
