#include "tests/host/fixtures.h"

#include "host/game_runner.h"
#include "tests/support/engine_process.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace hosttest {

namespace {

const char* const NameChars = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789:_-.";

bool IsName(const std::string& text) {
    return !text.empty() && text.find_first_not_of(NameChars) == std::string::npos;
}

// The team of the stone nearest the tee scores one, if that stone is in the house.
int NearestScores(const GameState& state) {
    auto distance = [&state](int i) {
        float dx = state.stones[i].x - 2.375f, dy = state.stones[i].y - 4.88f;
        return dx * dx + dy * dy;
    };
    int nearest = 0;
    for (int i = 1; i < StoneCount; ++i) {
        nearest = distance(i) < distance(nearest) ? i : nearest;
    }
    return distance(nearest) >= 3.900625f ? 0 : (nearest % 2 == 0 ? 1 : -1);
}

// From `at` over one JSON value, brackets and strings matched: where it ends (at a ',' or an unmatched
// closing bracket for a plain value), or npos when a string or a bracket is left open.
std::size_t ValueEnd(const std::string& text, std::size_t at) {
    int depth = 0;
    for (bool inString = false; at < text.size(); ++at) {
        char c = text[at];
        if (static_cast<unsigned char>(c) < 32) {
            return std::string::npos;
        } else if (inString) {
            at += c == '\\' ? 1 : 0;
            inString = c != '"';
        } else if (c == '"' || c == '{' || c == '[') {
            inString = c == '"';
            depth += inString ? 0 : 1;
        } else if (c == ',' || c == '}' || c == ']') {
            depth -= c == ',' ? 0 : 1;
        }
        if (depth <= 0 && !inString && std::strchr(",}]\"", c) != nullptr) {
            return depth < 0 || c == ',' ? at : at + 1;
        }
    }
    return depth == 0 ? at : std::string::npos;
}

// No '<', and every '&' starts an entity.
bool CleanText(const std::string& text) {
    for (std::size_t at = text.find('&'); at != std::string::npos; at = text.find('&', at + 1)) {
        std::size_t semicolon = text.find(';', at);
        if (semicolon == std::string::npos || !IsName(text.substr(at + 1, semicolon - at - 1))) {
            return false;
        }
    }
    return text.find('<') == std::string::npos;
}

}  // namespace

host::SheetModel ScriptedSheet() {
    host::SheetModel sheet{};
    sheet.warmUp = [] {};
    sheet.restingPoint = [](const ShotVector& shot) { return StonePosition{shot.vx, shot.vy}; };
    sheet.shotForTarget = [](const ShotTarget& target) {
        return ShotVector{target.x, target.y, target.curl, {}};
    };
    sheet.simulateShot = [](GameState& state, ShotVector shot) {
        bool open = state.shotNumber < StoneCount;
        if (open) {
            state.stones[state.shotNumber++] = StonePosition{shot.vx, shot.vy};
        }
        return open;
    };
    sheet.inPlay = [](StonePosition s) {
        return s.x > 0.145f && s.x < 4.605f && s.y > 2.905f && s.y < 11.134999f;
    };
    sheet.endScore = NearestScores;
    return sheet;
}

std::string FakeEngine(const std::string& mode) {
    std::string path = testsupport::MakeTemporaryDirectory() + "/" + mode;
    EXPECT_EQ(symlink(FAKE_ENGINE_PATH, path.c_str()), 0);
    return path;
}

host::GameSetup TestSetup(const std::string& engine0, const std::string& engine1, int ends) {
    host::GameSetup setup;
    setup.engines[0] = engine0;
    setup.engines[1] = engine1;
    setup.ends = ends;
    setup.noiseScale = 0.0;
    setup.shotTimeout = 5.0;
    setup.folder = testsupport::MakeTemporaryDirectory();
    return setup;
}

host::GameLog PlayTestGame(const host::GameSetup& setup) {
    return host::PlayGame(setup, ScriptedSheet(), host::ProgressCallback());
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::vector<std::string> ReadRecord(const std::string& path) {
    std::vector<std::string> lines;
    std::istringstream text(ReadFile(path));
    for (std::string line; std::getline(text, line);) {
        EXPECT_TRUE(line.compare(0, 1, "{") == 0 && ValueEnd(line, 0) == line.size())
            << "line " << lines.size() + 1 << ": " << line;
        lines.push_back(line);
    }
    return lines;
}

std::string Field(const std::string& line, const std::string& name) {
    std::size_t start = line.find("\"" + name + "\":");
    if (start == std::string::npos) {
        return "";
    }
    start += name.size() + 3;
    return line.substr(start, ValueEnd(line, start) - start);
}

bool WellFormedXml(const std::string& text, std::string& error) {
    std::vector<std::string> open;
    int roots = 0;
    std::size_t at = 0;
    for (std::size_t tag; (tag = text.find('<', at)) != std::string::npos;) {
        // Comments, character data and the doctype are passed over whole.
        const char* ending = text.compare(tag, 4, "<!--") == 0        ? "-->"
                             : text.compare(tag, 9, "<![CDATA[") == 0 ? "]]>"
                                                                      : ">";
        std::size_t close = text.find(ending, tag);
        if (!CleanText(text.substr(at, tag - at)) ||
            (open.empty() && tag != text.find_first_not_of(" \n", at)) || close == std::string::npos) {
            error = "bad text or markup at " + std::to_string(at);
            return false;
        }
        std::string inside = text.substr(tag + 1, close - tag - 1);
        at = close + std::strlen(ending);
        bool closing = inside[0] == '/';
        bool empty = !closing && !inside.empty() && inside.back() == '/';
        std::string body = inside.substr(closing ? 1 : 0, inside.size() - (closing || empty ? 1 : 0));
        std::string name = body.substr(0, body.find_first_of(" \n"));
        if (inside[0] != '!' &&
            !(closing ? !open.empty() && open.back() == body
                      : IsName(name) && (!open.empty() || roots++ == 0) && CleanText(body) &&
                            std::count(body.begin(), body.end(), '"') % 2 == 0)) {
            error = "bad tag <" + inside.substr(0, 40) + ">";
            return false;
        }
        if (closing) {
            open.pop_back();
        } else if (!empty && inside[0] != '!') {
            open.push_back(name);
        }
    }
    error = !open.empty() ? "unclosed <" + open.back() + ">" : roots != 1 ? "no root element" : "";
    if (text.find_first_not_of(" \n", at) != std::string::npos) {
        error = "text after the root element";
    }
    return error.empty();
}

std::size_t CountOf(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

}  // namespace hosttest
