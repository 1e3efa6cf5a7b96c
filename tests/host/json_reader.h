#pragma once

#include <string>
#include <utility>
#include <vector>

// Just enough JSON to read the host's record back in tests.
namespace hosttest {

struct Json {
    enum class Kind { Null, Bool, Number, String, Array, Object } kind = Kind::Null;
    bool boolean = false;
    double number = 0.0;
    std::string text;
    std::vector<Json> items;
    std::vector<std::pair<std::string, Json>> fields;

    // The field of that name, or a null value when there is none.
    const Json& operator[](const std::string& name) const;
};

// False when `text` is not exactly one JSON value (white space around it allowed).
bool ParseJson(const std::string& text, Json& value);

}  // namespace hosttest
