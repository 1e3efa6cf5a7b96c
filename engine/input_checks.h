#pragma once

#include "records/game_state.h"

#include <string>
#include <vector>

namespace engine {

// What a GO on this record should tell the log before it searches: input a host may send but should
// not, which the search survives without being able to make much of it. Empty for a sound record.
std::vector<std::string> InputNotes(const records::GameState& state, bool prepared);

}  // namespace engine
