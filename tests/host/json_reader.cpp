#include "tests/host/json_reader.h"

#include <cstdlib>
#include <cstring>

namespace hosttest {

namespace {

struct Reader {
    const std::string& text;
    std::size_t at = 0;

    void SkipSpace() {
        while (at < text.size() && std::strchr(" \t\r\n", text[at]) != nullptr) {
            ++at;
        }
    }
    bool Take(const char* word) {
        std::size_t length = std::strlen(word);
        if (text.compare(at, length, word) != 0) {
            return false;
        }
        at += length;
        return true;
    }
    bool String(std::string& out) {
        if (!Take("\"")) {
            return false;
        }
        while (at < text.size() && text[at] != '"') {
            char c = text[at++];
            if (static_cast<unsigned char>(c) < 32) {
                return false;
            }
            if (c == '\\') {
                if (at >= text.size()) {
                    return false;
                }
                char e = text[at++];
                if (e == 'u') {
                    if (at + 4 > text.size()) {
                        return false;
                    }
                    out += static_cast<char>(std::strtol(text.substr(at, 4).c_str(), nullptr, 16));
                    at += 4;
                } else {
                    const char* plain = std::strchr("\"\\/bfnrt", e);
                    if (plain == nullptr) {
                        return false;
                    }
                    out += std::string("\"\\/\b\f\n\r\t")[static_cast<std::size_t>(plain - "\"\\/bfnrt")];
                }
            } else {
                out += c;
            }
        }
        return Take("\"");
    }
    bool Value(Json& value, int depth) {
        SkipSpace();
        if (depth > 64 || at >= text.size()) {
            return false;
        }
        char c = text[at];
        if (c == '{' || c == '[') {
            return Container(value, depth);
        }
        if (c == '"') {
            value.kind = Json::Kind::String;
            return String(value.text);
        }
        if (Take("null")) {
            return true;
        }
        if (Take("true") || Take("false")) {
            value.kind = Json::Kind::Bool;
            value.boolean = text[at - 1] == 'e' && text[at - 2] == 'u';
            return true;
        }
        const char* start = text.c_str() + at;
        char* end = nullptr;
        value.number = std::strtod(start, &end);
        if (end == start || std::strchr("-0123456789", *start) == nullptr) {
            return false;
        }
        value.kind = Json::Kind::Number;
        at += static_cast<std::size_t>(end - start);
        return true;
    }
    bool Container(Json& value, int depth) {
        bool object = text[at++] == '{';
        value.kind = object ? Json::Kind::Object : Json::Kind::Array;
        SkipSpace();
        if (Take(object ? "}" : "]")) {
            return true;
        }
        for (;;) {
            Json item;
            std::string name;
            if (object) {
                SkipSpace();
                if (!String(name)) {
                    return false;
                }
                SkipSpace();
                if (!Take(":")) {
                    return false;
                }
            }
            if (!Value(item, depth + 1)) {
                return false;
            }
            if (object) {
                value.fields.emplace_back(name, item);
            } else {
                value.items.push_back(item);
            }
            SkipSpace();
            if (Take(object ? "}" : "]")) {
                return true;
            }
            if (!Take(",")) {
                return false;
            }
        }
    }
};

}  // namespace

const Json& Json::operator[](const std::string& name) const {
    static const Json none;
    for (const auto& field : fields) {
        if (field.first == name) {
            return field.second;
        }
    }
    return none;
}

bool ParseJson(const std::string& text, Json& value) {
    Reader reader{text};
    if (!reader.Value(value, 0)) {
        return false;
    }
    reader.SkipSpace();
    return reader.at == text.size();
}

}  // namespace hosttest
