#pragma once

#include <nlohmann/json_fwd.hpp>

#include <string>

// The edge between the host's plain records and JSON text. Members keep the order they are written in,
// numbers keep the precision their readers rely on, and nothing here throws.
namespace host {

using Json = nlohmann::ordered_json;

// One line of ASCII: control and non-ASCII characters escaped, bytes that are not UTF-8 replaced by
// U+FFFD, so whatever an engine sent stays one valid line.
std::string JsonText(const Json& json);

// One JSON value filling the whole text. False, with the place and the reason in `error`, otherwise.
[[nodiscard]] bool ParseJsonText(const std::string& text, Json& json, std::string& error);

// A float as the shortest decimal that reads back (through a double, as atof does) as the same float.
Json FloatNumber(float value);
// A double rounded as the printf `format` rounds it ("%.3f" to the millimetre, "%.6g" to six digits);
// null when it is not finite, since JSON has no infinity.
Json RoundedNumber(double value, const char* format);
// A double exactly, null when it is not finite.
Json ExactNumber(double value);

// Readers of one member that refuse, rather than throw, when it is missing or of another kind.
// Whole numbers must lie within [low, high]; a float must be finite as a float.
[[nodiscard]] bool ReadWhole(const Json& object, const char* name, long long low, long long high, int& out);
[[nodiscard]] bool ReadWhole(const Json& json, long long low, long long high, int& out);
[[nodiscard]] bool ReadDouble(const Json& json, double& out);
[[nodiscard]] bool ReadFloat(const Json& json, float& out);
[[nodiscard]] bool ReadBool(const Json& json, bool& out);
[[nodiscard]] bool ReadString(const Json& json, std::string& out);
// The member of that name, or null when there is none or `object` is no object.
const Json* Member(const Json& object, const char* name);

}  // namespace host
