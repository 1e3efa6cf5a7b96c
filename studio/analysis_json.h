#pragma once

#include "records/game_state.h"
#include "search/search.h"

#include <nlohmann/json.hpp>

namespace studio {

// What the page shows of one search of `state`: the chosen shot with its target, expected value and
// success rate; the raw best ("challenging") one; every candidate's expected and raw value by region
// and curl; the chosen shot played as sent, with its stones' paths; and its spread, the window of test
// shots its expected value weighs, each with its weight, value and where its stone came to rest.
nlohmann::json AnalysisJson(const search::Search& search, const search::Choice& choice,
                            const records::GameState& state);

}  // namespace studio
