#include "tests/host/fixtures.h"

#include "records/sheet.h"
#include "tests/support/engine_process.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace hosttest {

namespace {

constexpr std::size_t None = std::string::npos;

bool IsName(const std::string& text) {
    return !text.empty() && text.find_first_not_of(
                                "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789:_-.") == None;
}

// The team of the stone nearest the tee scores one, if that stone is in the house.
int NearestScores(const records::GameState& state) {
    float nearest = records::HouseReachSquared;
    int score = 0;
    for (int i = 0; i < records::StoneCount; ++i) {
        const float distance = records::SquaredTeeDistance(state.stones[i]);
        score = distance < nearest ? (i % 2 == 0 ? 1 : -1) : score;
        nearest = std::min(nearest, distance);
    }
    return score;
}

// From `at` over one JSON value, strings and brackets matched: where it ends (after its closing bracket,
// or at the ',' or unmatched bracket after a plain value), or None when something is left open.
std::size_t ValueEnd(const std::string& text, std::size_t at) {
    int depth = 0;
    bool inString = false;
    for (; at < text.size(); ++at) {
        char c = text[at];
        if (static_cast<unsigned char>(c) < 32) {
            return None;
        } else if (inString) {
            at += c == '\\' ? 1 : 0;
            inString = c != '"';
        } else if (c == '"' || c == '{' || c == '[') {
            inString = c == '"';
            depth += inString ? 0 : 1;
        } else if (c == ',' && depth == 0) {
            return at;
        } else if ((c == '}' || c == ']') && --depth <= 0) {
            return depth < 0 ? at : at + 1;
        }
    }
    return depth == 0 && !inString ? at : None;
}

// No '<', and every '&' starts an entity.
bool CleanText(const std::string& text) {
    for (std::size_t at = text.find('&'); at != None; at = text.find('&', at + 1)) {
        std::size_t semicolon = text.find(';', at);
        if (semicolon == None || !IsName(text.substr(at + 1, semicolon - at - 1))) {
            return false;
        }
    }
    return text.find('<') == None;
}

}  // namespace

host::SheetModel ScriptedSheet() {
    host::SheetModel sheet{};
    sheet.warmUp = [] {};
    sheet.restingPoint = [](const records::ShotVector& shot) {
        return records::StonePosition{shot.vx, shot.vy};
    };
    sheet.shotForTarget = [](const records::ShotTarget& target) {
        return records::ShotVector{target.x, target.y, target.curl, {}};
    };
    sheet.simulateShot = [](records::GameState& state, records::ShotVector shot) {
        bool open = state.shotNumber < records::StoneCount;
        if (open) {
            state.stones[state.shotNumber++] = records::StonePosition{shot.vx, shot.vy};
        }
        return open;
    };
    sheet.inPlay = [](records::StonePosition s) {
        using namespace records;
        return s.x > SideBoundLow && s.x < SideBoundHigh && s.y > PlayBackBound && s.y < HogLineBound;
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
    start = start == None ? line.size() : start + name.size() + 3;
    return line.substr(start, ValueEnd(line, start) - start);
}

bool WellFormedXml(const std::string& text, std::string& error) {
    std::vector<std::string> open;
    int roots = 0;
    std::size_t at = 0;
    error.clear();
    for (std::size_t tag; error.empty() && (tag = text.find('<', at)) != None;) {
        bool data = text.compare(tag, 9, "<![CDATA[") == 0;  // passed over whole, as is the doctype
        std::size_t close = text.find(data ? "]]>" : ">", tag);
        std::string inside = text.substr(tag + 1, close - tag - 1) + ' ';
        bool closing = inside[0] == '/';
        std::string name = inside.substr(closing, inside.find_first_of(" \n/", 1) - closing);
        if (close == None || !CleanText(text.substr(at, tag - at)) ||
            (open.empty() && text.find_first_not_of(" \n", at) < tag)) {
            error = "bad text or markup at " + std::to_string(at);
        } else if (inside[0] != '!' &&
                   (!IsName(name) || !CleanText(inside) ||
                    std::count(inside.begin(), inside.end(), '"') % 2 ||
                    (closing ? open.empty() || open.back() != name : open.empty() && roots++ > 0))) {
            error = "bad tag <" + inside.substr(0, 40) + ">";
        } else if (closing) {
            open.pop_back();
        } else if (inside[0] != '!' && inside[inside.size() - 2] != '/') {
            open.push_back(name);
        }
        at = close + (data ? 3 : 1);
    }
    if (error.empty()) {
        error = !open.empty()                               ? "unclosed <" + open.back() + ">"
                : roots != 1                                ? "no root element"
                : text.find_first_not_of(" \n", at) != None ? "text after the root element"
                                                            : "";
    }
    return error.empty();
}

std::size_t CountOf(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != None; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

}  // namespace hosttest
