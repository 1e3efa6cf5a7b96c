#include "evaluation/house_scoring.h"
#include "physics/simulate_shot.h"
#include "tests/support/engine_process.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// The built engine beside the real simulator library, as the build lays them out.
const std::string Engine = CURLING_ENGINE_PATH;

// The answer, which must be exactly "BESTSHOT %f %f %d" with a curl of 0 or 1, played without noise on
// the engine's own physics: the score of the end after it.
int ScoreAfter(records::GameState state, const std::string& reply) {
    double vx = 0.0, vy = 0.0;
    int curl = -1;
    char again[96] = "";
    if (std::sscanf(reply.c_str(), "BESTSHOT %lf %lf %d", &vx, &vy, &curl) == 3) {
        std::snprintf(again, sizeof(again), "BESTSHOT %f %f %d", vx, vy, curl);
    }
    EXPECT_TRUE(reply == again && (curl == 0 || curl == 1)) << reply;
    EXPECT_TRUE(physics::SimulateShot(
        state,
        records::ShotVector{static_cast<float>(vx), static_cast<float>(vy), static_cast<uint8_t>(curl), {}}));
    return evaluation::EndScore(state);
}

TEST(GoProcess, BeforeAnyReadinessCheckItAnswersTheZeroShot) {
    testsupport::ProcessResult run = testsupport::RunProcess(Engine, {"GO\n"}, {}, 120);
    EXPECT_TRUE(run.finished);
    EXPECT_EQ(run.standardOutput, "BESTSHOT 0.000000 0.000000 0");
}

// A whole session: the last stone of an end against one opposing stone on the tee, searched twice.
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
    EXPECT_EQ(replies.substr(second), replies.substr(0, second)) << "two searches of one record answer alike";

    records::GameState state{};
    state.shotNumber = 15;
    state.stones[0] = {2.375f, 4.88f};
    EXPECT_LT(ScoreAfter(state, replies.substr(second)), 0);
    const std::string& log = run.standardError;
    EXPECT_EQ(log.find("Generated 8982 candidates\nGenerated 10994 tests\n" + std::string(72, '-') +
                       "\ncurrent score: -1\ncurrent evaluation: -5.000000\n"),
              0u)
        << log;
    EXPECT_NE(log.find("\nOut: ("), std::string::npos);
}

}  // namespace
