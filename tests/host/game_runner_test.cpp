#include "host/game_runner.h"

#include "host/protocol.h"
#include "host/replay_page.h"
#include "tests/host/fixtures.h"
#include "tests/support/engine_process.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <fstream>

namespace {

using hosttest::CountOf;
using hosttest::FakeEngine;
using hosttest::Field;

// The fake engines answer shot s with vx = 0.6 + 0.3 s: from shot 14 on, the stone rests out of play.
float RestingX(int shot) {
    float vx = static_cast<float>(0.6 + 0.3 * shot);
    return vx < 4.605f ? vx : 0.0f;
}

// Plays the game, then reads its record back line by line up to its result and checks the page is
// whole and fetches nothing but its data, which holds a line per shot.
host::GameLog PlayAndCheck(const host::GameSetup& setup, std::vector<std::string>& record) {
    host::GameLog log = host::PlayGame(setup, hosttest::ScriptedSheet(), host::ProgressCallback());
    record = hosttest::ReadRecord(setup.folder + "/record.jsonl");
    EXPECT_EQ(record.size(), log.shots.size() + log.ends.size() + 2);
    record.resize(log.shots.size() + log.ends.size() + 2);  // so that a short record fails, not crashes
    EXPECT_EQ(Field(record.front(), "type") + Field(record.back(), "type"), "\"game\"\"result\"");
    std::string page = hosttest::ReadFile(setup.folder + "/replay.html"), error;
    EXPECT_EQ(page, host::ReplayPage(log.setup));
    EXPECT_TRUE(hosttest::WholePage(page, error)) << error;
    const std::string data = hosttest::ReadFile(setup.folder + "/replay-data.js");
    EXPECT_EQ(CountOf(data, "\nR.s("), log.shots.size());
    EXPECT_EQ(CountOf(data, "\nR.r("), 1u);
    for (const std::string& engine : setup.engines) {
        EXPECT_TRUE(CountOf(page, host::EscapeXml(engine)) > 0 &&
                    (host::EscapeXml(engine) == engine || CountOf(page, engine) == 0))
            << "engine paths are escaped";
    }
    return log;
}

TEST(GameRunner, TalksTheProtocolAndRecordsEveryShotAndEnd) {
    host::GameSetup setup = hosttest::TestSetup(FakeEngine("good"), FakeEngine("good"), 2);
    std::vector<std::string> record;
    host::GameLog log = PlayAndCheck(setup, record);
    ASSERT_TRUE(log.finished && log.forfeitMessage.empty()) << log.forfeitMessage;
    ASSERT_EQ(log.shots.size(), 32u);
    // What each engine should have been sent; the positions' text is checked to read back exactly in
    // the protocol tests.
    std::string sent[2] = {"NEWGAME\nISREADY\n", "NEWGAME\nISREADY\n"};
    records::GameState before{};
    for (const host::ShotEntry& shot : log.shots) {
        SCOPED_TRACE(testing::Message() << "end " << shot.end << " shot " << shot.shot);
        sent[shot.team] += host::PositionCommand(before) + "SETSTATE " + std::to_string(shot.shot) + ' ' +
                           std::to_string(shot.end) + " 2 " + std::to_string(shot.shot % 2) + "\nGO\n";
        EXPECT_EQ(shot.played.vx, static_cast<float>(0.6 + 0.3 * shot.shot));  // no noise: played as sent
        EXPECT_EQ(shot.stones[shot.shot].x, RestingX(shot.shot));
        std::copy(shot.stones, shot.stones + records::StoneCount, before.stones);
        if (shot.shot == 15) {
            before = records::GameState{};
            const host::EndEntry& end = log.ends[static_cast<std::size_t>(shot.end)];
            for (int team = 0; team < 2; ++team) {
                sent[team] += "SCORE " + std::to_string(end.points[team] - end.points[1 - team]) + "\n";
            }
        }
    }
    EXPECT_EQ(hosttest::ReadFile(setup.folder + "/engine-1.log"), sent[0]);
    EXPECT_EQ(hosttest::ReadFile(setup.folder + "/engine-2.log"), sent[1]);
    EXPECT_NE(Field(record[16], "stones").find(",[4.5,4.88],[0,0],[0,0]]"), std::string::npos) << record[16];
    EXPECT_EQ(Field(record[17], "hammer"), "1");
}

// Seconds for a fake engine that must answer in time, its start included: ample even under a sanitizer on
// a loaded machine. Where a case is about a time-out, its shot timeout must run out for one engine while
// the other one, or the same one restarted, answers within it; a short one would fail that engine at
// random. Only where no engine has to answer in time may the time-out be short.
constexpr double InTime = 2.0;

TEST(GameRunner, AFaultyReplyLosesTheStoneAndAnEngineThatIsGoneForfeits) {
    // A path that needs escaping on the page and in the record.
    std::string notAProgram = testsupport::MakeTemporaryDirectory() + "/not a program & <friends>";
    std::ofstream(notAProgram) << "just text\n";
    chmod(notAProgram.c_str(), 0755);
    struct Case {
        std::string engine0, engine1;
        std::vector<std::string> words;  // in the record
        int shots;                       // played; negative: an engine forfeits, after any number
        int winner;
        char lost;  // team 0's stones thrown away: 'a'll, the 'f'irst, 'n'one, or '?' not checked
        double timeout = hosttest::UnhurriedTimeout;
        double grace = 0.5;  // runs out for a hanging engine
        int ends = 1;
    } cases[] = {
        {"garbage", "good", {"not BESTSHOT"}, 16, 1, 'a'},
        {"nan", "good", {"not a finite"}, 16, 1, 'a'},
        // Answers its first GO 2.5 s late, within the grace period: that reply is dropped, never taken for
        // the next request, and team 0's stone of shot 6 ends nearest the tee.
        {"late", "good", {"no reply within 2 s", "was dropped"}, 16, 0, 'f', InTime, 10.0},
        {"split", "good", {}, 16, 0, 'n'},
        {"double", "good", {"\"dropped\":\"BESTSHOT 9 9 0\""}, 16, 0, 'n'},
        {"chatty", "good", {"\"logCut\":[true,false]"}, 16, 0, 'n'},
        {"hang", "good", {"restarted", "engine 1", "once more after 3 restarts"}, 6, 1, 'a', InTime},
        {"deaf", "good", {"engine 1", "left its input unread"}, -1, 1, '?', InTime, 0.5, 8},
        {"die", "good", {"engine 1", "exited with code 3", "shot 5 of end 1", "giving up"}, 4, 1, 'n'},
        {"closer", "good", {"engine 1", "closed its standard output", "shot 1 of end 1"}, 0, 1, 'n'},
        {"good", "mute", {"engine 2", "did not answer ISREADY within 2 s"}, 0, 0, 'n', InTime},
        {notAProgram, "good", {"engine 1 (" + notAProgram + ")", "cannot be started"}, 0, 1, 'n'},
        // No engine has to answer in time.
        {"mute", "mute", {"engine 1", "engine 2", "did not answer ISREADY within 0.3 s"}, 0, -1, 'n', 0.3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.engine0 + " against " + c.engine1);
        host::GameSetup setup = hosttest::TestSetup(
            c.engine0 == notAProgram ? notAProgram : FakeEngine(c.engine0), FakeEngine(c.engine1), c.ends);
        setup.shotTimeout = c.timeout;
        setup.graceSeconds = c.grace;
        std::vector<std::string> record;
        host::GameLog log = PlayAndCheck(setup, record);
        bool forfeit = c.shots < 16;
        EXPECT_EQ(log.outcome.winner, c.winner);
        EXPECT_TRUE(c.shots < 0 || log.shots.size() == static_cast<std::size_t>(c.shots)) << log.shots.size();
        for (int team = 0; team < 2; ++team) {
            EXPECT_EQ(log.outcome.forfeited[team], forfeit && c.winner != team);
        }
        for (const host::ShotEntry& shot : log.shots) {
            const bool lost =
                shot.team == 0 && (c.lost == 'a' || (c.lost == 'f' && shot.end == 0 && shot.shot == 0));
            EXPECT_TRUE(c.lost == '?' || shot.stones[shot.shot].x == (lost ? 0.0f : RestingX(shot.shot)))
                << "shot " << shot.shot;
        }
        const std::string text = hosttest::ReadFile(setup.folder + "/record.jsonl");
        for (const std::string& word : c.words) {
            EXPECT_NE(text.find(word), std::string::npos) << text;
        }
        EXPECT_LE(hosttest::ReadFile(setup.folder + "/engine-1.log").size(), 65536u * 5 / 4);
    }
}

}  // namespace
