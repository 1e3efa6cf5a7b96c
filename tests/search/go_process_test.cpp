#include "evaluation/house_scoring.h"
#include "physics/simulate_shot.h"
#include "tests/support/engine_process.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <string>

namespace {

// The built engine beside the real simulator library, as the build lays them out.
const std::string Engine = CURLING_ENGINE_PATH;
const std::regex BestShot("BESTSHOT (-?[0-9]+\\.[0-9]{6}) (-?[0-9]+\\.[0-9]{6}) ([01])");

ShotVector ParseBestShot(const std::string& reply) {
    ShotVector shot{};
    std::smatch match;
    EXPECT_TRUE(std::regex_match(reply, match, BestShot)) << reply;
    if (!match.empty()) {
        shot.vx = std::stof(match[1]);
        shot.vy = std::stof(match[2]);
        shot.curl = static_cast<uint8_t>(std::stoi(match[3]));
    }
    return shot;
}

// Where the answer leaves the end when played without noise on the engine's own physics.
int ScoreAfter(GameState state, const ShotVector& shot) {
    EXPECT_TRUE(physics::SimulateShot(state, shot));
    return evaluation::EndScore(state);
}

TEST(GoProcess, BeforeAnyReadinessCheckItAnswersTheZeroShot) {
    testsupport::ProcessResult run = testsupport::RunProcess(Engine, {"GO\n"}, {}, 120);
    EXPECT_TRUE(run.finished);
    EXPECT_EQ(run.standardOutput, "BESTSHOT 0.000000 0.000000 0");
}

// A whole session: the last stone of an end against one opposing stone on the tee.
TEST(GoProcess, LastStoneAgainstAStoneOnTheTeeScoresForTheThrower) {
    testsupport::ProcessResult run =
        testsupport::RunProcess(Engine,
                                {"NEWGAME\n", "ISREADY\n", "POSITION 2.375 4.88\n", "SETSTATE 15 0 8 1\n",
                                 "GO\n", "GO go\n", "SCORE 1\n"},
                                {}, 900);
    ASSERT_TRUE(run.finished);
    ASSERT_EQ(run.standardOutput.substr(0, 7), "READYOK");
    std::string replies = run.standardOutput.substr(7);
    std::size_t second = replies.find("BESTSHOT", 1);
    ASSERT_NE(second, std::string::npos) << replies;
    std::string first = replies.substr(0, second);
    EXPECT_EQ(replies.substr(second), first) << "two searches of one record answer alike";

    GameState state{};
    state.shotNumber = 15;
    state.stones[0] = {2.375f, 4.88f};
    EXPECT_LT(ScoreAfter(state, ParseBestShot(first)), 0);

    const std::string& log = run.standardError;
    EXPECT_EQ(log.find("Generated 8982 candidates\nGenerated 10994 tests\n" + std::string(72, '-') +
                       "\ncurrent score: -1\ncurrent evaluation: -5.000000\n"),
              0u)
        << log;
    EXPECT_NE(log.find("\nOut: ("), std::string::npos);
}

TEST(GoProcess, LastStoneIntoAnEmptyHouseScoresOne) {
    testsupport::ProcessResult run =
        testsupport::RunProcess(Engine, {"ISREADY\n", "SETSTATE 15 3 0 0\n", "GO\n"}, {}, 900);
    ASSERT_TRUE(run.finished);
    ASSERT_EQ(run.standardOutput.substr(0, 7), "READYOK");
    GameState state{};
    state.shotNumber = 15;
    EXPECT_EQ(ScoreAfter(state, ParseBestShot(run.standardOutput.substr(7))), -1);
}

}  // namespace
