#include "host/json_reader.h"

#include <cmath>
#include <cstdlib>

namespace host {

namespace {

constexpr int MaxDepth = 64;

struct Reader {
    const std::string& text;
    std::size_t at = 0;
    std::string error;

    bool Fail(const std::string& why) {
        if (error.empty()) {
            error = why + " at byte " + std::to_string(at);
        }
        return false;
    }
    void SkipSpace() {
        while (at < text.size() &&
               (text[at] == ' ' || text[at] == '\t' || text[at] == '\n' || text[at] == '\r')) {
            ++at;
        }
    }
    bool Word(const char* word) {
        const std::string expected = word;
        if (text.compare(at, expected.size(), expected) != 0) {
            return Fail("an unknown word");
        }
        at += expected.size();
        return true;
    }
    // Only the escapes the host writes, and \uXXXX below 128 as one byte; others are refused.
    bool String(std::string& out) {
        ++at;  // the opening quote
        for (; at < text.size(); ++at) {
            const unsigned char c = static_cast<unsigned char>(text[at]);
            if (c == '"') {
                ++at;
                return true;
            }
            if (c < 32) {
                return Fail("a control character in a string");
            }
            if (c != '\\') {
                out += static_cast<char>(c);
                continue;
            }
            if (++at >= text.size()) {
                break;
            }
            const char e = text[at];
            if (e == '"' || e == '\\' || e == '/') {
                out += e;
            } else if (e == 'n' || e == 't' || e == 'r') {
                out += e == 'n' ? '\n' : e == 't' ? '\t' : '\r';
            } else if (e == 'u' && at + 4 < text.size()) {
                char* end = nullptr;
                const std::string hex = text.substr(at + 1, 4);
                const long code = std::strtol(hex.c_str(), &end, 16);
                if (end != hex.c_str() + 4 || code > 255) {
                    return Fail("an escape the host never writes");
                }
                out += static_cast<char>(code);
                at += 4;
            } else {
                return Fail("a bad escape");
            }
        }
        return Fail("a string without its end");
    }
    bool Number(double& out) {
        const std::size_t start = at;
        while (at < text.size() && std::string("+-0123456789.eE").find(text[at]) != std::string::npos) {
            ++at;
        }
        const std::string digits = text.substr(start, at - start);
        char* end = nullptr;
        out = std::strtod(digits.c_str(), &end);
        if (digits.empty() || end != digits.c_str() + digits.size() || !std::isfinite(out)) {
            return Fail("not a number");
        }
        return true;
    }
    bool Value(JsonValue& value, int depth) {
        SkipSpace();
        if (depth > MaxDepth) {
            return Fail("nesting too deep");
        }
        if (at >= text.size()) {
            return Fail("the end of the text where a value should be");
        }
        const char c = text[at];
        if (c == '{' || c == '[') {
            return Container(value, depth, c == '{');
        }
        if (c == '"') {
            value.kind = JsonValue::Kind::String;
            return String(value.text);
        }
        if (c == 't' || c == 'f') {
            value.kind = JsonValue::Kind::Boolean;
            value.boolean = c == 't';
            return Word(c == 't' ? "true" : "false");
        }
        if (c == 'n') {
            return Word("null");
        }
        value.kind = JsonValue::Kind::Number;
        return Number(value.number);
    }
    bool Container(JsonValue& value, int depth, bool object) {
        value.kind = object ? JsonValue::Kind::Object : JsonValue::Kind::Array;
        const char close = object ? '}' : ']';
        ++at;
        SkipSpace();
        if (at < text.size() && text[at] == close) {
            ++at;
            return true;
        }
        for (;;) {
            std::string name;
            if (object) {
                SkipSpace();
                if (at >= text.size() || text[at] != '"' || !String(name)) {
                    return Fail("a member without a name");
                }
                SkipSpace();
                if (at >= text.size() || text[at++] != ':') {
                    return Fail("a name without a colon");
                }
            }
            JsonValue item;
            if (!Value(item, depth + 1)) {
                return false;
            }
            if (object) {
                value.members.emplace_back(name, std::move(item));
            } else {
                value.items.push_back(std::move(item));
            }
            SkipSpace();
            if (at < text.size() && text[at] == ',') {
                ++at;
                continue;
            }
            if (at < text.size() && text[at] == close) {
                ++at;
                return true;
            }
            return Fail(object ? "an object without its end" : "an array without its end");
        }
    }
};

}  // namespace

const JsonValue* JsonValue::Find(const std::string& name) const {
    for (const auto& [key, member] : members) {
        if (key == name) {
            return &member;
        }
    }
    return nullptr;
}

bool ParseJson(const std::string& text, JsonValue& value, std::string& error) {
    Reader reader{text, 0, {}};
    value = JsonValue();
    bool ok = reader.Value(value, 0);
    reader.SkipSpace();
    if (ok && reader.at != text.size()) {
        ok = reader.Fail("more after the value");
    }
    error = reader.error;
    return ok;
}

}  // namespace host
