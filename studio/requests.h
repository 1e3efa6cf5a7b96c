#pragma once

#include "records/game_state.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>

// Reading the JSON bodies of the API's requests. Every reader checks shapes, types and ranges and
// refuses with a one-line reason a person can act on; nothing here throws.
namespace studio {

constexpr std::size_t MaxBodyBytes = std::size_t{1} << 20;
constexpr double MaxShotSpeed = 100.0;  // m/s in either component; the fastest grid shot is under 50

// Parses a request body that must be one JSON object.
[[nodiscard]] bool ParseObject(const std::string& text, nlohmann::json& body, std::string& error);

// "stones" (16 entries, each [x, y] or null for a stone not on the sheet) and "shotNumber" (0..15).
// Coordinates must be finite single-precision numbers.
[[nodiscard]] bool ReadPosition(const nlohmann::json& body, records::GameState& state, std::string& error);

// {"vx", "vy", "curl"} under `key`.
[[nodiscard]] bool ReadShot(const nlohmann::json& body, const char* key, records::ShotVector& shot,
                            std::string& error);

// {"x", "y", "curl"} under `key`.
[[nodiscard]] bool ReadTarget(const nlohmann::json& body, const char* key, records::ShotTarget& target,
                              std::string& error);

// An optional integer member within [low, high]; `value` keeps its default when the member is absent.
[[nodiscard]] bool ReadOptionalInteger(const nlohmann::json& body, const char* key, long long low,
                                       long long high, long long& value, std::string& error);

// An optional whole number 0..2^64-1, as the match host takes its seed.
[[nodiscard]] bool ReadOptionalSeed(const nlohmann::json& body, const char* key, uint64_t& value,
                                    std::string& error);

// An optional boolean member.
[[nodiscard]] bool ReadOptionalBool(const nlohmann::json& body, const char* key, bool& value,
                                    std::string& error);

// The JSON of a float, as a double holds it exactly, so that it reads back bit for bit.
nlohmann::json FloatJson(float value);
// [x, y], or null for a stone not on the sheet.
nlohmann::json StoneJson(const records::StonePosition& stone);
nlohmann::json ShotJson(const records::ShotVector& shot);

}  // namespace studio
