#include "host/match_rules.h"
#include "host/match_summary.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(MatchRules, ScorersGiveUpTheHammerAndATieGoesToExtraEndsThenADraw) {
    struct Case {
        const char* name;
        int hammer;
        std::vector<int> scores;  // house scores: positive for the even stones, thrown without the hammer
        int totals0, totals1, nextHammer;
        bool over;
        int leader;
    } cases[] = {
        {"team 1 scores with the hammer", 1, {-2}, 0, 2, 0, false, 1},
        {"team 0 steals and no lead ends a game early", 1, {5}, 5, 0, 1, false, 0},
        {"a blank end keeps the hammer", 1, {0}, 0, 0, 1, false, -1},
        {"decided after the regular ends", 1, {2, 0}, 2, 0, 1, true, 0},
        {"tied after the regular ends", 1, {1, -1}, 1, 1, 0, false, -1},
        {"the first extra end with a score decides", 1, {1, -1, 0, -1}, 2, 1, 1, true, 0},
        {"still tied after three extra ends is a draw", 1, {1, -1, 0, 0, 0}, 1, 1, 0, true, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host::GameProgress game;
        game.regularEnds = 2;
        game.hammer = c.hammer;
        for (int score : c.scores) {
            host::RecordEnd(game, score);
        }
        EXPECT_EQ(std::vector<int>({game.totals[0], game.totals[1], game.hammer}),
                  std::vector<int>({c.totals0, c.totals1, c.nextHammer}));
        EXPECT_EQ(host::GameOver(game), c.over);
        EXPECT_EQ(host::Leader(game), c.leader);
    }
}

TEST(MatchRules, TallyCountsAGameBothForfeitedAsALossForEach) {
    host::MatchTally tally;
    host::AddGame(tally, host::GameOutcome{-1, {false, false}, {4, 4}});  // a draw
    host::AddGame(tally, host::GameOutcome{0, {false, false}, {5, 3}});
    host::AddGame(tally, host::GameOutcome{0, {false, true}, {0, 2}});
    host::AddGame(tally, host::GameOutcome{-1, {true, true}, {0, 0}});
    // Wins, losses, draws and points of each team.
    EXPECT_EQ(std::vector<int>({tally.wins[0], tally.losses[0], tally.draws[0], tally.points[0]}),
              std::vector<int>({2, 1, 1, 9}));
    EXPECT_EQ(std::vector<int>({tally.wins[1], tally.losses[1], tally.draws[1], tally.points[1]}),
              std::vector<int>({0, 3, 1, 9}));
}

// A summary from another machine is input: every number is checked against its range before use.
TEST(MatchSummary, RefusesCountsBeyondTheirRange) {
    const std::string settings =
        R"({"settings":{"engines":["a","b"],"ends":2,"games":4,"seed":"5","noise":1,"shotTimeout":120,)"
        R"("paired":false},"range":[1,3],"results":[)";
    host::MatchShard shard;
    std::string error;
    EXPECT_TRUE(host::ReadSummary(settings + R"([1,1,2,0,0],[2,0,0,1,2]]})", shard, error)) << error;
    for (const char* results :
         {R"([1,1,6e43,0,0]]})", R"([1,1,-6e43,0,0]]})", R"([1e300,1,2,0,0]]})", R"([1,1,2.5,0,0]]})"}) {
        SCOPED_TRACE(results);
        EXPECT_FALSE(host::ReadSummary(settings + results, shard, error));
    }
}

}  // namespace
