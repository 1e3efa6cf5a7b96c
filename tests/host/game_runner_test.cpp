#include "host/game_runner.h"

#include "host/protocol.h"
#include "tests/host/scripted_sheet.h"
#include "tests/support/engine_process.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <fstream>
#include <sstream>

namespace {

using hosttest::FakeEngine;
using hosttest::Json;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        lines.push_back(line);
    }
    return lines;
}

// The fake engines answer shot s with (0.6 + 0.25 s, 4.88, curl s mod 2); on the scripted sheet a
// shot rests where it points.
ShotVector GoodShot(int shot) {
    ShotVector expected{};
    expected.vx = static_cast<float>(0.6 + 0.25 * shot);
    expected.vy = 4.88f;
    expected.curl = static_cast<uint8_t>(shot % 2);
    return expected;
}

TEST(GameRunner, TalksTheProtocolAndRecordsEveryShotAndEnd) {
    host::GameSetup setup = hosttest::TestSetup(FakeEngine("good"), FakeEngine("good"), 2);
    setup.noiseScale = 0.0;
    host::GameLog log = hosttest::PlayTestGame(setup);
    ASSERT_TRUE(log.finished);
    ASSERT_TRUE(log.forfeitMessage.empty()) << log.forfeitMessage;
    ASSERT_GE(log.ends.size(), 2u);
    ASSERT_EQ(log.shots.size(), 16 * log.ends.size());

    std::vector<std::string> sent[2] = {Lines(hosttest::ReadFile(setup.folder + "/engine-1.log")),
                                        Lines(hosttest::ReadFile(setup.folder + "/engine-2.log"))};
    std::size_t next[2] = {2, 2};
    for (int team = 0; team < 2; ++team) {
        ASSERT_GE(sent[team].size(), 2u);
        EXPECT_EQ(sent[team][0], "NEWGAME");
        EXPECT_EQ(sent[team][1], "ISREADY");
    }
    GameState before{};
    for (const host::ShotEntry& shot : log.shots) {
        SCOPED_TRACE(testing::Message() << "end " << shot.end << " shot " << shot.shot);
        if (shot.shot == 0) {
            before = GameState{};
        }
        std::vector<std::string>& lines = sent[shot.team];
        std::size_t& at = next[shot.team];
        ASSERT_LT(at + 2, lines.size());
        EXPECT_EQ(lines[at] + '\n', host::PositionCommand(before));
        int hammerThrows = shot.shot % 2;
        int endsNow = shot.end < 2 ? 2 : shot.end + 1;
        EXPECT_EQ(lines[at + 1] + '\n', host::SetStateCommand(shot.shot, shot.end, endsNow, hammerThrows));
        EXPECT_EQ(lines[at + 2], "GO");
        at += 3;
        ASSERT_TRUE(shot.delivered);
        EXPECT_EQ(shot.sent.vx, GoodShot(shot.shot).vx);
        EXPECT_EQ(shot.played.vx, shot.sent.vx);
        float x = shot.played.vx;
        bool inPlay = x > 0.145f && x < 4.605f;
        EXPECT_EQ(shot.stones[shot.shot].x, inPlay ? x : 0.0f);
        for (int i = 0; i < StoneCount; ++i) {
            before.stones[i] = shot.stones[i];
        }
        if (shot.shot == 15) {
            const host::EndEntry& end = log.ends[static_cast<std::size_t>(shot.end)];
            for (int team = 0; team < 2; ++team) {
                ASSERT_LT(next[team], sent[team].size());
                int score = end.points[team] - end.points[1 - team];
                EXPECT_EQ(sent[team][next[team]++], "SCORE " + std::to_string(score));
            }
        }
    }

    std::vector<Json> record = hosttest::ReadRecord(setup.folder + "/record.jsonl");
    ASSERT_EQ(record.size(), 1 + log.shots.size() + log.ends.size() + 1);
    EXPECT_EQ(record.front()["type"].text, "game");
    EXPECT_EQ(record.back()["type"].text, "result");
    EXPECT_EQ(static_cast<float>(record[16]["stones"].items[15].items[0].number), log.shots[15].stones[15].x);
    EXPECT_EQ(record[17]["type"].text, "end");
    EXPECT_EQ(record[17]["hammer"].number, setup.firstHammer);
}

TEST(GameRunner, BadOrLateRepliesThrowTheStoneAwayAndTheGameGoesOn) {
    struct Case {
        const char* mode;
        double timeout;
        const char* fault;  // expected in the record of the first engine's first stone
        bool laterStonesPlayed;
    } cases[] = {
        {"garbage", 5.0, "not BESTSHOT", false},
        {"nan", 5.0, "not a finite", false},
        {"hang", 0.3, "no reply within 0.3 s", false},
        // Answers 0.7 s late: the stale reply is skipped, not taken for the next request.
        {"late", 0.5, "no reply within 0.5 s", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        host::GameSetup setup = hosttest::TestSetup(FakeEngine(c.mode), FakeEngine("good"));
        setup.shotTimeout = c.timeout;
        setup.noiseScale = 0.0;
        host::GameLog log = hosttest::PlayTestGame(setup);
        EXPECT_TRUE(log.finished);
        EXPECT_TRUE(log.forfeitMessage.empty()) << log.forfeitMessage;
        EXPECT_EQ(log.outcome.winner, 1);
        ASSERT_GE(log.shots.size(), 16u);
        for (const host::ShotEntry& shot : log.shots) {
            SCOPED_TRACE(testing::Message() << "shot " << shot.shot);
            bool first = shot.end == 0 && shot.shot == 0;
            if (shot.team == 1 || (!first && c.laterStonesPlayed)) {
                ASSERT_TRUE(shot.delivered) << shot.fault;
                EXPECT_EQ(shot.sent.vx, GoodShot(shot.shot).vx);
            } else {
                EXPECT_FALSE(shot.delivered);
                EXPECT_EQ(shot.stones[shot.shot].x, 0.0f);
            }
        }
        std::vector<Json> record = hosttest::ReadRecord(setup.folder + "/record.jsonl");
        ASSERT_GE(record.size(), 2u);
        EXPECT_FALSE(record[1]["delivered"].boolean);
        EXPECT_NE(record[1]["fault"].text.find(c.fault), std::string::npos) << record[1]["fault"].text;
    }
}

TEST(GameRunner, AnEngineThatIsGoneForfeitsWithAMessageNamingIt) {
    std::string folder = testsupport::MakeTemporaryDirectory();
    std::string notAProgram = folder + "/not-a-program";
    std::ofstream(notAProgram) << "just text\n";
    chmod(notAProgram.c_str(), 0755);
    struct Case {
        std::string engine;
        std::vector<std::string> words;
        std::size_t shotsPlayed;
    } cases[] = {
        {FakeEngine("die"), {"engine 1", "exited with code 3", "shot 5 of end 1", "giving up"}, 4},
        {FakeEngine("closer"), {"engine 1", "closed its standard output", "shot 1 of end 1"}, 0},
        {FakeEngine("mute"), {"engine 1", "did not answer ISREADY within 0.3 s"}, 0},
        {notAProgram, {"engine 1 (" + notAProgram + ")", "cannot be started"}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.engine);
        host::GameSetup setup = hosttest::TestSetup(c.engine, FakeEngine("good"));
        setup.shotTimeout = 0.3;
        host::GameLog log = hosttest::PlayTestGame(setup);
        EXPECT_TRUE(log.outcome.forfeited[0]);
        EXPECT_FALSE(log.outcome.forfeited[1]);
        EXPECT_EQ(log.outcome.winner, 1);
        EXPECT_EQ(log.shots.size(), c.shotsPlayed);
        for (const std::string& word : c.words) {
            EXPECT_NE(log.forfeitMessage.find(word), std::string::npos) << log.forfeitMessage;
        }
        // Whatever stopped the game, the record reads back whole up to its result.
        std::vector<Json> record = hosttest::ReadRecord(setup.folder + "/record.jsonl");
        ASSERT_EQ(record.size(), c.shotsPlayed + 2);
        EXPECT_EQ(record.back()["type"].text, "result");
        EXPECT_TRUE(record.back()["forfeited"].items[0].boolean);
        EXPECT_EQ(record.back()["message"].text, log.forfeitMessage);
    }
}

TEST(GameRunner, TwoEnginesGoneIsNoWinner) {
    host::GameSetup setup = hosttest::TestSetup(FakeEngine("mute"), FakeEngine("mute"));
    setup.shotTimeout = 0.3;
    host::GameLog log = hosttest::PlayTestGame(setup);
    EXPECT_TRUE(log.outcome.forfeited[0]);
    EXPECT_TRUE(log.outcome.forfeited[1]);
    EXPECT_EQ(log.outcome.winner, -1);
}

TEST(GameRunner, TheSameSeedPlaysTheSameGame) {
    host::GameSetup setup = hosttest::TestSetup(FakeEngine("good"), FakeEngine("good"));
    setup.seed = 5;
    host::GameLog first = hosttest::PlayTestGame(setup);
    host::GameLog second = hosttest::PlayTestGame(setup);
    setup.seed = 6;
    host::GameLog other = hosttest::PlayTestGame(setup);
    ASSERT_EQ(first.shots.size(), second.shots.size());
    bool differs = false;
    for (std::size_t i = 0; i < first.shots.size(); ++i) {
        EXPECT_EQ(first.shots[i].played.vx, second.shots[i].played.vx);
        EXPECT_EQ(first.shots[i].played.vy, second.shots[i].played.vy);
        EXPECT_NE(first.shots[i].played.vy, first.shots[i].sent.vy);  // noise is on
        for (int s = 0; s < StoneCount; ++s) {
            EXPECT_EQ(first.shots[i].stones[s].x, second.shots[i].stones[s].x);
            EXPECT_EQ(first.shots[i].stones[s].y, second.shots[i].stones[s].y);
        }
        differs = differs || (i < other.shots.size() && other.shots[i].played.vx != first.shots[i].played.vx);
    }
    EXPECT_TRUE(differs);
}

TEST(GameRunner, StonesOutOfPlayAreTakenOff) {
    GameState state{};
    state.stones[0] = StonePosition{2.0f, 20.0f};  // short of the hog line
    state.stones[1] = StonePosition{2.0f, 5.0f};
    state.stones[2] = StonePosition{4.7f, 5.0f};  // over the side line
    host::RemoveStonesOutOfPlay(state, hosttest::ScriptedSheet());
    EXPECT_EQ(state.stones[0].y, 0.0f);
    EXPECT_EQ(state.stones[1].y, 5.0f);
    EXPECT_EQ(state.stones[2].x, 0.0f);
}

}  // namespace
