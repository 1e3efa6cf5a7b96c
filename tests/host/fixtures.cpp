#include "tests/host/fixtures.h"

#include "evaluation/house_scoring.h"
#include "host/json_text.h"
#include "records/sheet.h"
#include "tests/support/engine_process.h"

#include <gtest/gtest.h>
#include <unistd.h>
#include <nlohmann/json.hpp>

#include <fstream>
#include <sstream>

namespace hosttest {

host::SheetModel ScriptedSheet() {
    host::SheetModel sheet{};
    sheet.warmUp = [] {};
    sheet.restingPoint = [](const records::ShotVector& shot) {
        return records::StonePosition{shot.vx, shot.vy};
    };
    sheet.shotForTarget = [](const records::ShotTarget& target) {
        return records::ShotVector{target.x, target.y, target.curl, {}};
    };
    sheet.simulateShot = [](records::GameState& state, records::ShotVector shot, host::ShotPath* path) {
        bool open = state.shotNumber < records::StoneCount;
        if (open) {
            state.stones[state.shotNumber] = records::StonePosition{shot.vx, shot.vy};
            host::StoneFrame after;
            std::copy(state.stones, state.stones + records::StoneCount, after.begin());
            if (path != nullptr) {
                path->frames = {after, after};
                path->frames[0][state.shotNumber] = records::StonePosition{2.375f, 41.28f};
            }
            ++state.shotNumber;
        }
        return open;
    };
    sheet.inPlay = [](records::StonePosition s) {
        using namespace records;
        return s.x > SideBoundLow && s.x < SideBoundHigh && s.y > PlayBackBound && s.y < HogLineBound;
    };
    sheet.endScore = evaluation::EndScore;
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
    setup.shotTimeout = UnhurriedTimeout;
    setup.graceSeconds = 0.5;
    setup.logLimitBytes = 65536;
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
        host::Json json;
        std::string error;
        EXPECT_TRUE(host::ParseJsonText(line, json, error) && json.is_object())
            << "line " << lines.size() + 1 << ": " << error << ": " << line;
        lines.push_back(line);
    }
    return lines;
}

std::string Field(const std::string& line, const std::string& name) {
    host::Json json;
    std::string error;
    const host::Json* member =
        host::ParseJsonText(line, json, error) ? host::Member(json, name.c_str()) : nullptr;
    return member != nullptr ? host::JsonText(*member) : "";
}

bool WholePage(const std::string& page, std::string& error) {
    error.clear();
    if (page.rfind("<!DOCTYPE html>\n", 0) != 0 || page.size() < 8 ||
        page.compare(page.size() - 8, 8, "</html>\n") != 0) {
        error = "not one whole page";
    } else if (CountOf(page, "<g ") != CountOf(page, "</g>") ||
               CountOf(page, "<svg ") != CountOf(page, "</svg>")) {
        error = "unbalanced frames";
    } else if (CountOf(page, " src=") + CountOf(page, " href=") != 1 ||
               CountOf(page, " src=\"replay-data.js\"") != 1) {
        error = "something but its data file is fetched";
    }
    return error.empty();
}

std::size_t CountOf(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = 0; (at = text.find(part, at)) != std::string::npos; ++at) {
        ++count;
    }
    return count;
}

}  // namespace hosttest
