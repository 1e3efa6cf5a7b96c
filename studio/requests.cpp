#include "studio/requests.h"

#include <cfloat>
#include <cmath>

namespace studio {

namespace {

using nlohmann::json;

// A number that stays finite once rounded to single precision.
bool ReadFloat(const json& value, const std::string& what, float& out, std::string& error) {
    if (!value.is_number()) {
        error = what + " must be a number";
        return false;
    }
    const double number = value.get<double>();
    if (!std::isfinite(number) || std::fabs(number) > FLT_MAX) {
        error = what + " must be a finite number";
        return false;
    }
    out = static_cast<float>(number);
    return true;
}

bool ReadCurl(const json& object, const std::string& what, uint8_t& curl, std::string& error) {
    const auto found = object.find("curl");
    if (found == object.end() || !found->is_number_integer() || (*found != 0 && *found != 1)) {
        error = what + ".curl must be 0 or 1";
        return false;
    }
    curl = static_cast<uint8_t>(found->get<int>());
    return true;
}

bool ReadPair(const json& object, const char* key, const char* first, const char* second, float& a, float& b,
              std::string& error) {
    const auto found = object.find(key);
    if (found == object.end() || !found->is_object()) {
        error = std::string("\"") + key + "\" must be an object with " + first + ", " + second + " and curl";
        return false;
    }
    for (const char* member : {first, second}) {
        if (!found->contains(member)) {
            error = std::string(key) + "." + member + " is missing";
            return false;
        }
    }
    return ReadFloat(found->at(first), std::string(key) + "." + first, a, error) &&
           ReadFloat(found->at(second), std::string(key) + "." + second, b, error);
}

}  // namespace

bool ParseObject(const std::string& text, json& body, std::string& error) {
    if (text.size() > MaxBodyBytes) {
        error = "the body is over 1 MiB";
        return false;
    }
    // The parser's own message says where and why, which a person sending the body can act on.
    try {
        body = json::parse(text);
    } catch (const json::exception& failure) {  // a syntax error, or a number past a double
        const std::string message = failure.what();
        const std::size_t at = message.find("] ");
        error = "the body is not valid JSON: " + (at == std::string::npos ? message : message.substr(at + 2));
        return false;
    }
    if (!body.is_object()) {
        error = "the body must be a JSON object";
        return false;
    }
    return true;
}

bool ReadPosition(const json& body, records::GameState& state, std::string& error) {
    state = records::GameState{};
    const auto stones = body.find("stones");
    if (stones == body.end() || !stones->is_array() || stones->size() != records::StoneCount) {
        error = "\"stones\" must be an array of 16 entries, each [x, y] or null";
        return false;
    }
    for (int i = 0; i < records::StoneCount; ++i) {
        const json& stone = (*stones)[static_cast<std::size_t>(i)];
        const std::string what = "stones[" + std::to_string(i) + "]";
        if (stone.is_null()) {
            continue;
        }
        if (!stone.is_array() || stone.size() != 2) {
            error = what + " must be [x, y] or null";
            return false;
        }
        if (!ReadFloat(stone[0], what + "[0]", state.stones[i].x, error) ||
            !ReadFloat(stone[1], what + "[1]", state.stones[i].y, error)) {
            return false;
        }
    }
    long long shotNumber = -1;
    if (!body.contains("shotNumber")) {
        error = "\"shotNumber\" is missing";
        return false;
    }
    if (!ReadOptionalInteger(body, "shotNumber", 0, 15, shotNumber, error)) {
        return false;
    }
    state.shotNumber = static_cast<int32_t>(shotNumber);
    return true;
}

bool ReadShot(const json& body, const char* key, records::ShotVector& shot, std::string& error) {
    shot = records::ShotVector{};
    if (!ReadPair(body, key, "vx", "vy", shot.vx, shot.vy, error) ||
        !ReadCurl(body.at(key), key, shot.curl, error)) {
        return false;
    }
    if (std::fabs(shot.vx) > MaxShotSpeed || std::fabs(shot.vy) > MaxShotSpeed) {
        error = std::string(key) + " is faster than 100 m/s";
        return false;
    }
    return true;
}

bool ReadTarget(const json& body, const char* key, records::ShotTarget& target, std::string& error) {
    float x = 0.0f;
    float y = 0.0f;
    uint8_t curl = 0;
    if (!ReadPair(body, key, "x", "y", x, y, error) || !ReadCurl(body.at(key), key, curl, error)) {
        return false;
    }
    target = records::MakeShotTarget(x, y, curl);
    return true;
}

bool ReadOptionalInteger(const json& body, const char* key, long long low, long long high, long long& value,
                         std::string& error) {
    const auto found = body.find(key);
    if (found == body.end()) {
        return true;
    }
    const std::string range = std::to_string(low) + ".." + std::to_string(high);
    if (!found->is_number_integer()) {
        error = std::string("\"") + key + "\" must be a whole number in " + range;
        return false;
    }
    // An unsigned number too large for a signed one is out of range too.
    if (found->is_number_unsigned() &&
        found->get<unsigned long long>() > static_cast<unsigned long long>(high)) {
        error = std::string("\"") + key + "\" must lie in " + range;
        return false;
    }
    const long long number = found->get<long long>();
    if (number < low || number > high) {
        error = std::string("\"") + key + "\" must lie in " + range;
        return false;
    }
    value = number;
    return true;
}

bool ReadOptionalSeed(const json& body, const char* key, uint64_t& value, std::string& error) {
    const auto found = body.find(key);
    if (found == body.end()) {
        return true;
    }
    if (!found->is_number_unsigned()) {
        error = std::string("\"") + key + "\" must be a whole number 0..18446744073709551615";
        return false;
    }
    value = found->get<uint64_t>();
    return true;
}

bool ReadOptionalBool(const json& body, const char* key, bool& value, std::string& error) {
    const auto found = body.find(key);
    if (found == body.end()) {
        return true;
    }
    if (!found->is_boolean()) {
        error = std::string("\"") + key + "\" must be true or false";
        return false;
    }
    value = found->get<bool>();
    return true;
}

json FloatJson(float value) {
    return static_cast<double>(value);
}

json StoneJson(const records::StonePosition& stone) {
    if (stone.x == 0.0f && stone.y == 0.0f) {
        return nullptr;
    }
    return json::array({FloatJson(stone.x), FloatJson(stone.y)});
}

json ShotJson(const records::ShotVector& shot) {
    return {{"vx", FloatJson(shot.vx)}, {"vy", FloatJson(shot.vy)}, {"curl", shot.curl}};
}

}  // namespace studio
