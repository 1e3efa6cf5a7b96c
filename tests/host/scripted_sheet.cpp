#include "tests/host/scripted_sheet.h"

#include "host/game_runner.h"
#include "tests/support/engine_process.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

namespace hosttest {

namespace {

void NoWarmUp() {}

StonePosition RestingPoint(const ShotVector& shot) {
    return StonePosition{shot.vx, shot.vy};
}

ShotVector ShotForTarget(const ShotTarget& target) {
    ShotVector shot{};
    shot.vx = target.x;
    shot.vy = target.y;
    shot.curl = target.curl;
    return shot;
}

bool Simulate(GameState& state, ShotVector shot) {
    if (state.shotNumber > 15) {
        return false;
    }
    state.stones[state.shotNumber] = StonePosition{shot.vx, shot.vy};
    ++state.shotNumber;
    return true;
}

bool InPlay(StonePosition stone) {
    return stone.x > 0.145f && stone.x < 4.605f && stone.y > 2.905f && stone.y < 11.134999f;
}

float TeeDistanceSquared(const StonePosition& stone) {
    float dx = stone.x - 2.375f;
    float dy = stone.y - 4.88f;
    return dx * dx + dy * dy;
}

int NearestScores(const GameState& state) {
    int nearest = -1;
    for (int i = 0; i < StoneCount; ++i) {
        if (TeeDistanceSquared(state.stones[i]) < 3.900625f &&
            (nearest < 0 ||
             TeeDistanceSquared(state.stones[i]) < TeeDistanceSquared(state.stones[nearest]))) {
            nearest = i;
        }
    }
    return nearest < 0 ? 0 : (nearest % 2 == 0 ? 1 : -1);
}

}  // namespace

host::SheetModel ScriptedSheet() {
    return host::SheetModel{NoWarmUp, RestingPoint, ShotForTarget, Simulate, InPlay, NearestScores};
}

std::string FakeEngine(const std::string& mode) {
    std::string folder = testsupport::MakeTemporaryDirectory();
    std::string path = folder + "/" + mode;
    EXPECT_EQ(symlink(FAKE_ENGINE_PATH, path.c_str()), 0);
    return path;
}

host::GameSetup TestSetup(const std::string& engine0, const std::string& engine1, int ends) {
    host::GameSetup setup;
    setup.engines[0] = engine0;
    setup.engines[1] = engine1;
    setup.ends = ends;
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

std::vector<Json> ReadRecord(const std::string& path) {
    std::vector<Json> lines;
    std::istringstream text(ReadFile(path));
    int number = 0;
    for (std::string line; std::getline(text, line);) {
        ++number;
        Json value;
        EXPECT_TRUE(ParseJson(line, value)) << "line " << number << ": " << line;
        lines.push_back(value);
    }
    return lines;
}

}  // namespace hosttest
