#include "host/protocol.h"

#include "platform/text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <vector>

namespace host {

namespace {

bool ReadsBackAs(const char* text, float value) {
    float back = static_cast<float>(std::strtod(text, nullptr));
    return std::memcmp(&back, &value, sizeof(float)) == 0;
}

std::vector<std::string> SplitWhiteSpace(const std::string& text) {
    std::istringstream stream(text);
    std::vector<std::string> words;
    for (std::string word; stream >> word;) {
        words.push_back(word);
    }
    return words;
}

// The whole word, so a zero byte inside it never ends the comparison early.
bool SameWordIgnoringCase(const std::string& word, const char* expected) {
    return word.size() == std::strlen(expected) && platform::CompareIgnoringCase(word.c_str(), expected) == 0;
}

// A whole token as a number; false when anything but the number is in it.
bool ParseNumber(const std::string& token, double& value) {
    char* end = nullptr;
    value = std::strtod(token.c_str(), &end);
    return end != token.c_str() && *end == '\0';
}

ParsedShot Refuse(ReplyFault fault, const std::string& why) {
    ParsedShot parsed;
    parsed.fault = fault;
    parsed.why = why;
    return parsed;
}

}  // namespace

std::string FormatFloat(float value) {
    char text[64];
    // Nine significant digits always suffice for a float read straight back; the double step of atof
    // could in principle need more, so keep going until the text proves itself.
    for (int digits = 1; digits <= 17; ++digits) {
        std::snprintf(text, sizeof(text), "%.*g", digits, static_cast<double>(value));
        if (ReadsBackAs(text, value)) {
            break;
        }
    }
    return text;
}

std::string PositionCommand(const records::GameState& state) {
    std::string line = "POSITION";
    for (const records::StonePosition& stone : state.stones) {
        line += ' ' + FormatFloat(stone.x) + ' ' + FormatFloat(stone.y);
    }
    return line + '\n';
}

std::string SetStateCommand(int shot, int end, int ends, int hammerToThrow) {
    return "SETSTATE " + std::to_string(shot) + ' ' + std::to_string(end) + ' ' + std::to_string(ends) + ' ' +
           std::to_string(hammerToThrow) + '\n';
}

std::string ScoreCommand(int score) {
    return "SCORE " + std::to_string(score) + '\n';
}

ParsedShot ParseBestShot(const std::string& reply) {
    std::vector<std::string> words = SplitWhiteSpace(reply);
    if (words.empty()) {
        return Refuse(ReplyFault::Malformed, "an empty reply");
    }
    if (!SameWordIgnoringCase(words[0], "BESTSHOT")) {
        return Refuse(ReplyFault::Malformed, "a reply that is not BESTSHOT");
    }
    if (words.size() != 4) {
        return Refuse(ReplyFault::Malformed,
                      "BESTSHOT with " + std::to_string(words.size() - 1) + " values instead of 3");
    }
    double vx = 0.0, vy = 0.0, curl = 0.0;
    if (!ParseNumber(words[1], vx) || !ParseNumber(words[2], vy) || !ParseNumber(words[3], curl)) {
        return Refuse(ReplyFault::Malformed, "BESTSHOT with a value that is not a number");
    }
    ParsedShot parsed;
    parsed.shot.vx = static_cast<float>(vx);
    parsed.shot.vy = static_cast<float>(vy);
    if (!std::isfinite(parsed.shot.vx) || !std::isfinite(parsed.shot.vy)) {
        return Refuse(ReplyFault::NotFinite, "a velocity that is not a finite single-precision number");
    }
    if (words[3] != "0" && words[3] != "1") {
        return Refuse(ReplyFault::Malformed, "a curl other than 0 or 1");
    }
    if (std::hypot(parsed.shot.vx, parsed.shot.vy) > MaxShotSpeed) {
        return Refuse(ReplyFault::TooFast, "a speed above 100 m/s");
    }
    parsed.shot.curl = static_cast<uint8_t>(words[3] == "1" ? 1 : 0);
    return parsed;
}

bool ReplyComplete(const std::string& received) {
    const std::vector<std::string> words = SplitWhiteSpace(received);
    if (words.empty()) {
        return false;
    }
    if (SameWordIgnoringCase(words[0], "BESTSHOT")) {
        return words.size() >= 4;
    }
    const bool wordGoesOn = words.size() == 1 && received.find_last_not_of(" \t\r\n") == received.size() - 1;
    for (const char* replyWord : {"BESTSHOT", "READYOK"}) {
        if (wordGoesOn && words[0].size() < std::strlen(replyWord) &&
            SameWordIgnoringCase(words[0], std::string(replyWord, words[0].size()).c_str())) {
            return false;
        }
    }
    return true;
}

bool IsReadyReply(const std::string& reply) {
    std::vector<std::string> words = SplitWhiteSpace(reply);
    return words.size() == 1 && SameWordIgnoringCase(words[0], "READYOK");
}

std::string Printable(const std::string& bytes) {
    constexpr std::size_t Longest = 120;
    std::string text;
    for (std::size_t i = 0; i < bytes.size() && i < Longest; ++i) {
        unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c >= 32 && c < 127) {
            text += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof(escaped), "\\x%02x", c);
            text += escaped;
        }
    }
    if (bytes.size() > Longest) {
        text += "...";
    }
    return text;
}

}  // namespace host
