#include "host/json_text.h"

#include "host/protocol.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace host {

namespace {

// Whole values as integers, so that 0 reads "0" rather than "0.0" as it always has; -0 keeps its sign.
Json NumberOfText(const char* text) {
    const double value = std::strtod(text, nullptr);
    if (!std::isfinite(value)) {
        return nullptr;
    }
    const bool whole = value == std::trunc(value) && std::fabs(value) < 9007199254740992.0 &&
                       !(value == 0.0 && std::signbit(value));
    return whole ? Json(static_cast<long long>(value)) : Json(value);
}

}  // namespace

std::string JsonText(const Json& json) {
    return json.dump(-1, ' ', true, Json::error_handler_t::replace);
}

bool ParseJsonText(const std::string& text, Json& json, std::string& error) {
    try {
        json = Json::parse(text);
        return true;
    } catch (const Json::exception& failure) {
        error = failure.what();
        return false;
    }
}

Json FloatNumber(float value) {
    return NumberOfText(FormatFloat(value).c_str());
}

Json RoundedNumber(double value, const char* format) {
    char text[64];
    std::snprintf(text, sizeof(text), format, value);
    return NumberOfText(text);
}

Json ExactNumber(double value) {
    return RoundedNumber(value, "%.17g");
}

const Json* Member(const Json& object, const char* name) {
    if (!object.is_object()) {
        return nullptr;
    }
    const auto found = object.find(name);
    return found != object.end() ? &*found : nullptr;
}

bool ReadWhole(const Json& json, long long low, long long high, int& out) {
    double value = 0.0;
    // The range comes before the conversion: a number beyond every integer has no int to be.
    if (!ReadDouble(json, value) ||
        !(value >= static_cast<double>(low) && value <= static_cast<double>(high)) ||
        value != std::trunc(value)) {
        return false;
    }
    out = static_cast<int>(value);
    return true;
}

bool ReadWhole(const Json& object, const char* name, long long low, long long high, int& out) {
    const Json* member = Member(object, name);
    return member != nullptr && ReadWhole(*member, low, high, out);
}

bool ReadDouble(const Json& json, double& out) {
    if (!json.is_number()) {
        return false;
    }
    out = json.get<double>();
    return true;
}

bool ReadFloat(const Json& json, float& out) {
    double value = 0.0;
    // Below this bound a double rounds to a finite float: the largest float and half its last place.
    const double bound = static_cast<double>(std::numeric_limits<float>::max()) + std::ldexp(1.0, 103);
    if (!ReadDouble(json, value) || !(std::fabs(value) < bound)) {
        return false;
    }
    out = static_cast<float>(value);
    return true;
}

bool ReadBool(const Json& json, bool& out) {
    if (!json.is_boolean()) {
        return false;
    }
    out = json.get<bool>();
    return true;
}

bool ReadString(const Json& json, std::string& out) {
    if (!json.is_string()) {
        return false;
    }
    out = json.get<std::string>();
    return true;
}

}  // namespace host
