#pragma once

#include "records/game_state.h"

#include <nlohmann/json.hpp>

namespace studio {

constexpr double PathInterval = 0.1;  // simulated seconds between the points of a path

// Plays the shot as SimulateShot does, advancing the record, and keeps the paths of the stones that
// moved: {"stone index": [x0, y0, x1, y1, ...]}, a point every PathInterval, to the millimetre, until the
// stone rests or leaves the sheet (its last point is then the last one on it). False, with the record
// untouched, when its shotNumber lies outside 0..15.
[[nodiscard]] bool PlayWithPaths(records::GameState& state, records::ShotVector shot, nlohmann::json& paths);

// The 16 stones as [x, y], or null for a stone not on the sheet.
nlohmann::json StonesJson(const records::GameState& state);

}  // namespace studio
