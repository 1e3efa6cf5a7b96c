#pragma once

#include <string>
#include <utility>
#include <vector>

// Just enough JSON to read back what the host writes (summaries, records), from any bytes at all.
namespace host {

struct JsonValue {
    enum class Kind { Null, Boolean, Number, String, Array, Object };
    Kind kind = Kind::Null;
    bool boolean = false;
    double number = 0.0;
    std::string text;
    std::vector<JsonValue> items;                            // of an array
    std::vector<std::pair<std::string, JsonValue>> members;  // of an object, in order

    // The member of that name, or null when there is none (or this is no object).
    const JsonValue* Find(const std::string& name) const;
};

// One JSON value filling the whole text, white space around it allowed. False, with the place and the
// reason in `error`, when the text is not that; nesting deeper than 64 is refused.
[[nodiscard]] bool ParseJson(const std::string& text, JsonValue& value, std::string& error);

}  // namespace host
