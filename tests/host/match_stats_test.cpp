#include "host/match_stats.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

// Games of an engine `elo` stronger than its opponent, a fifth of them drawn.
std::vector<host::GameResult> Flips(std::mt19937_64& random, double elo, int games) {
    const double score = 1.0 / (1.0 + std::pow(10.0, -elo / 400.0));
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    std::vector<host::GameResult> results;
    for (int game = 1; game <= games; ++game) {
        const double u = uniform(random);
        const double result = u < score - 0.1 ? 1.0 : u < score + 0.1 ? 0.5 : 0.0;
        results.push_back(host::GameResult{game, result, result == 1.0 ? 2 : result == 0.0 ? -2 : 0});
    }
    return results;
}

TEST(MatchStatistics, TheIntervalCoversTheTrueEloAndTheTestAcceptsTheTrueHypothesis) {
    std::mt19937_64 random(20261207);
    int covered = 0;
    for (int run = 0; run < 200; ++run) {
        const host::MatchStatistics s = host::Summarise(Flips(random, 50.0, 300), false, {});
        covered += s.eloLow <= 50.0 && 50.0 <= s.eloHigh;
    }
    EXPECT_GE(covered, 180) << "a 95% interval";

    const host::SprtSettings sprt{true, 0.0, 60.0, 0.05, 0.05};
    for (double truth : {0.0, 60.0}) {
        SCOPED_TRACE(testing::Message() << "engine 1 stronger by " << truth);
        int right = 0;
        for (int run = 0; run < 100; ++run) {
            const std::vector<host::GameResult> games = Flips(random, truth, 4000);
            host::MatchStatistics s;
            for (std::size_t played = 10; played <= games.size() && s.sprt == host::SprtState::Running;
                 played += 10) {
                s = host::Summarise({games.begin(), games.begin() + played}, false, sprt);
            }
            right += s.sprt == (truth > 0.0 ? host::SprtState::AcceptedH1 : host::SprtState::AcceptedH0);
        }
        EXPECT_GE(right, 88) << "errors of 5% each way";
    }
}

TEST(MatchStatistics, PairedMatchesCountWholePairs) {
    // Engine 1 wins game 1 and loses game 2 of each pair: luck, cancelled within the pair.
    std::vector<host::GameResult> games;
    for (int game = 1; game <= 9; ++game) {
        games.push_back(host::GameResult{game, game % 2 == 1 ? 1.0 : 0.0, game % 2 == 1 ? 3 : -3});
    }
    const host::MatchStatistics paired = host::Summarise(games, true, {});
    const host::MatchStatistics single = host::Summarise(games, false, {});
    EXPECT_EQ(paired.units, 4);  // game 9 waits for its partner
    EXPECT_EQ(paired.elo, 0.0);
    EXPECT_TRUE(paired.eloLow == 0.0 && paired.eloHigh == 0.0) << "no spread between pairs";
    EXPECT_TRUE(single.units == 9 && single.eloLow < -100.0 && single.eloHigh > 100.0);
    EXPECT_EQ(paired.wins + paired.losses + paired.draws, 9);
}

}  // namespace
