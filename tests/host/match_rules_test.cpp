#include "host/match_rules.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using host::GameProgress;

GameProgress Play(int regularEnds, int firstHammer, const std::vector<int>& houseScores) {
    GameProgress game;
    game.regularEnds = regularEnds;
    game.hammer = firstHammer;
    for (int score : houseScores) {
        host::RecordEnd(game, score);
    }
    return game;
}

TEST(MatchRules, ScoringTeamGivesUpTheHammerAndABlankEndKeepsIt) {
    struct Case {
        int hammer;
        int houseScore;  // positive: the even-numbered stones, thrown by the team without the hammer
        int points0, points1;
        int nextHammer;
    } cases[] = {
        {1, -2, 0, 2, 0},  // team 1 scores with the hammer
        {1, 1, 1, 0, 1},   // team 0 steals; the hammer stays with team 1
        {0, -3, 3, 0, 1},  // team 0 scores with the hammer
        {0, 1, 0, 1, 0},   // team 1 steals
        {1, 0, 0, 0, 1},   // blank end
        {0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "hammer " << c.hammer << ", house score " << c.houseScore);
        GameProgress game = Play(8, c.hammer, {c.houseScore});
        EXPECT_EQ(game.ends[0].hammer, c.hammer);
        EXPECT_EQ(game.ends[0].points[0], c.points0);
        EXPECT_EQ(game.ends[0].points[1], c.points1);
        EXPECT_EQ(game.hammer, c.nextHammer);
        EXPECT_EQ(host::TeamForShot(c.hammer, 15), c.hammer);  // the hammer is the end's last stone
    }
}

TEST(MatchRules, GameEndsAfterTheRegularEndsUnlessTiedThenExtraEndsThenADraw) {
    struct Case {
        const char* name;
        std::vector<int> scores;
        bool over;
        int leader;
    } cases[] = {
        {"a big lead is no end before the last end", {5}, false, 0},
        {"decided after the regular ends", {2, 0}, true, 0},
        {"tied after the regular ends", {1, -1}, false, -1},
        {"a blank extra end keeps it going", {1, -1, 0}, false, -1},
        {"the first extra end with a score decides", {1, -1, 0, -1}, true, 0},
        {"still tied after three extra ends is a draw", {1, -1, 0, 0, 0}, true, -1},
        {"a blank game is a draw", {0, 0, 0, 0, 0}, true, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Team 1 has the first hammer: positive house scores go to team 0 while team 1 keeps the hammer.
        GameProgress game = Play(2, 1, c.scores);
        EXPECT_EQ(host::GameOver(game), c.over);
        EXPECT_EQ(host::Leader(game), c.leader);
    }
}

TEST(MatchRules, TallyCountsWinsLossesDrawsPointsAndForfeits) {
    host::MatchTally tally;
    host::GameOutcome win0;
    win0.winner = 0;
    win0.totals[0] = 5;
    win0.totals[1] = 3;
    host::GameOutcome draw;
    draw.totals[0] = draw.totals[1] = 4;
    host::GameOutcome forfeit1;
    forfeit1.winner = 0;
    forfeit1.forfeited[1] = true;
    forfeit1.totals[1] = 2;
    host::GameOutcome bothForfeit;
    bothForfeit.forfeited[0] = bothForfeit.forfeited[1] = true;
    for (const host::GameOutcome& outcome : {win0, draw, forfeit1, bothForfeit}) {
        host::AddGame(tally, outcome);
    }
    EXPECT_EQ(tally.wins[0], 2);
    EXPECT_EQ(tally.losses[0], 1);
    EXPECT_EQ(tally.draws[0], 1);
    EXPECT_EQ(tally.wins[1], 0);
    EXPECT_EQ(tally.losses[1], 3);
    EXPECT_EQ(tally.draws[1], 1);
    EXPECT_EQ(tally.points[0], 9);
    EXPECT_EQ(tally.points[1], 9);
}

}  // namespace
