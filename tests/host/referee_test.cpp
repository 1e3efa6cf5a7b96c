#include "host/referee.h"

#include "host/noise.h"
#include "records/sheet.h"
#include "tests/host/fixtures.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

host::GameSetup GameOf(int ends, double noise, int game = 1, int pair = 0) {
    host::GameSetup setup;
    setup.ends = ends;
    setup.noiseScale = noise;
    setup.seed = 9;
    setup.game = game;
    setup.pair = pair;
    return setup;
}

host::ShotEntry Sent(float x, float y, int curl = 0) {
    host::ShotEntry entry;
    entry.delivered = true;
    entry.sent = records::ShotVector{x, y, static_cast<uint8_t>(curl), {}};
    return entry;
}

// On the scripted sheet a shot (vx, vy) rests at (vx, vy): every stone of team 1 goes to the tee
// (team 0's out of play), or, when `blank`, every stone out of play.
host::GameLog PlayOut(host::Referee& referee, const host::SheetModel& sheet, bool blank,
                      std::vector<int>* endsNow = nullptr) {
    host::GameLog log;
    while (!host::GameOver(referee)) {
        const host::ShotEntry next = host::NextStone(referee);
        if (endsNow != nullptr && next.shot == 0) {
            endsNow->push_back(host::EndsNow(referee));
        }
        const bool tee = !blank && next.team == 1;
        EXPECT_TRUE(host::PlayStone(referee, sheet, Sent(tee ? records::TeeX : 9.0f, records::TeeY), log));
    }
    return log;
}

TEST(Referee, AlternatesThrowersScoresEndsAndPassesTheHammer) {
    const host::SheetModel sheet = hosttest::ScriptedSheet();
    host::Referee referee = host::StartReferee(GameOf(2, 0.0));
    host::GameLog log = PlayOut(referee, sheet, false);
    // Team 1 scores every end: with the hammer in end 1, which passes it to team 0, then a steal in end 2,
    // which leaves it there.
    ASSERT_EQ(log.ends.size(), 2u);
    ASSERT_EQ(log.shots.size(), 32u);
    EXPECT_EQ(log.ends[0].hammer, 1);
    EXPECT_EQ(log.ends[1].hammer, 0);
    EXPECT_GT(log.ends[0].points[1], 0);
    EXPECT_GT(log.ends[1].points[1], 0);
    EXPECT_EQ(log.ends[1].totals[1], log.ends[0].points[1] + log.ends[1].points[1]);
    for (const host::ShotEntry& shot : log.shots) {
        SCOPED_TRACE(testing::Message() << "end " << shot.end << " shot " << shot.shot);
        EXPECT_EQ(shot.team, shot.shot % 2 == 1 ? log.ends[static_cast<std::size_t>(shot.end)].hammer
                                                : 1 - log.ends[static_cast<std::size_t>(shot.end)].hammer);
        EXPECT_TRUE(shot.stones[shot.shot].x == 0.0f || shot.team == 1) << "out of play is taken off";
        EXPECT_EQ(shot.path.frames.size(), 2u);
    }
    const host::GameOutcome outcome = host::Outcome(referee);
    EXPECT_EQ(outcome.winner, 1);
    EXPECT_EQ(outcome.totals[1], log.ends[1].totals[1]);

    const host::GameLog before = log;
    EXPECT_FALSE(host::PlayStone(referee, sheet, Sent(1.0f, 5.0f), log)) << "the game is over";
    EXPECT_EQ(log.shots.size(), before.shots.size());
}

TEST(Referee, ATiedGameRunsToExtraEndsThenEndsDrawn) {
    const host::SheetModel sheet = hosttest::ScriptedSheet();
    host::Referee referee = host::StartReferee(GameOf(2, 0.0));
    std::vector<int> endsNow;
    host::GameLog log = PlayOut(referee, sheet, true, &endsNow);
    EXPECT_EQ(endsNow, std::vector<int>({2, 2, 3, 4, 5}));
    EXPECT_EQ(log.ends.size(), 5u);
    EXPECT_EQ(host::Outcome(referee).winner, -1);
    for (const host::EndEntry& end : log.ends) {
        EXPECT_EQ(end.hammer, 1) << "a blank end keeps the hammer";
    }
}

TEST(Referee, AStoneThrownAwayIsOutOfPlayAndTheEndGoesOn) {
    const host::SheetModel sheet = hosttest::ScriptedSheet();
    host::Referee referee = host::StartReferee(GameOf(1, 1.0));
    host::GameLog log;
    ASSERT_TRUE(host::PlayStone(referee, sheet, Sent(2.0f, 5.0f), log));
    host::ShotEntry lost;
    lost.delivered = false;
    lost.fault = "a reply that is not BESTSHOT";
    lost.shot = 7;  // the referee's own numbering wins
    ASSERT_TRUE(host::PlayStone(referee, sheet, lost, log));
    ASSERT_EQ(log.shots.size(), 2u);
    EXPECT_EQ(log.shots[1].shot, 1);
    EXPECT_EQ(log.shots[1].fault, lost.fault);
    EXPECT_TRUE(log.shots[1].stones[1].x == 0.0f && log.shots[1].stones[1].y == 0.0f);
    EXPECT_TRUE(log.shots[1].path.frames.empty());
    EXPECT_EQ(referee.end.shotNumber, 2);
}

// The noise of a stone follows the seed, the game (the pair when paired) and the stone's place in the
// whole game: the same shot in another end or another game misses differently.
TEST(Referee, NoiseFollowsSeedGameOrPairAndPlaceInTheGame) {
    const host::SheetModel sheet = hosttest::ScriptedSheet();  // noise shows one to one in the played shot
    auto played = [&](const host::GameSetup& setup) {
        host::Referee referee = host::StartReferee(setup);
        host::GameLog log;
        for (int stone = 0; stone < 20; ++stone) {
            EXPECT_TRUE(host::PlayStone(referee, sheet, Sent(2.0f, 5.0f, 1), log));
        }
        std::vector<float> shots;
        for (const host::ShotEntry& shot : log.shots) {
            EXPECT_EQ(shot.played.curl, 1);
            shots.push_back(shot.played.vx);
            shots.push_back(shot.played.vy);
        }
        return shots;
    };
    const std::vector<float> game1 = played(GameOf(2, 1.0, 1));
    EXPECT_EQ(played(GameOf(2, 1.0, 1)), game1);
    EXPECT_NE(played(GameOf(2, 1.0, 2)), game1);
    EXPECT_EQ(played(GameOf(2, 1.0, 3, 2)), played(GameOf(2, 1.0, 4, 2))) << "a pair shares its noise";
    const host::NoiseOffset stone17 = host::DrawNoise(9, 1, 17, 1.0);
    EXPECT_EQ(game1[2 * 17], static_cast<float>(2.0 + stone17.x)) << "the second end's second stone";
    EXPECT_NE(game1[2 * 17], game1[2 * 1]);
}

// Without paths the referee plays the fast path; the game must not change by a bit.
TEST(Referee, PathsChangeNothingOnTheEnginesSheet) {
    const host::SheetModel sheet = host::EngineSheetModel();
    const records::ShotVector shots[] = {
        {0.10f, -29.9f, 0, {}}, {-0.12f, -30.1f, 1, {}}, {0.05f, -33.0f, 0, {}}};
    std::vector<host::GameLog> logs;
    for (bool paths : {true, false}) {
        host::Referee referee = host::StartReferee(GameOf(1, 1.0));
        referee.keepPaths = paths;
        logs.emplace_back();
        for (int stone = 0; stone < host::StonesPerEnd; ++stone) {
            host::ShotEntry entry;
            entry.delivered = true;
            entry.sent = shots[stone % 3];
            ASSERT_TRUE(host::PlayStone(referee, sheet, entry, logs.back()));
        }
        EXPECT_EQ(logs.back().shots.back().path.frames.empty(), !paths);
    }
    ASSERT_EQ(logs[0].ends.size(), 1u);
    EXPECT_TRUE(logs[0].ends[0].points[0] == logs[1].ends[0].points[0] &&
                logs[0].ends[0].points[1] == logs[1].ends[0].points[1]);
    for (std::size_t i = 0; i < logs[0].shots.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "shot " << i);
        EXPECT_EQ(
            std::memcmp(logs[0].shots[i].stones, logs[1].shots[i].stones, sizeof(logs[0].shots[i].stones)),
            0);
    }
}

}  // namespace
