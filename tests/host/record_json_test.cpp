#include "host/record_json.h"

#include "tests/host/fixtures.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <sstream>

namespace {

bool SameBits(float a, float b) {
    return std::memcmp(&a, &b, sizeof(float)) == 0;
}

host::GameLog AwkwardLog() {
    host::GameLog log;
    log.setup.game = 12;
    log.setup.engines[0] = "/opt/\"odd\"\\engine\n\x01";
    log.setup.engines[1] = "/opt/\xc3\xa9ngine";  // UTF-8
    log.setup.seed = 18446744073709551615ull;
    log.setup.noiseScale = 0.35;
    log.setup.pair = 6;
    const float awkward[] = {0.1f, -0.0f, 1e-7f, FLT_MIN / 8.0f, FLT_MAX, 2.3750021f, 41.28f, -29.559860f};
    for (int i = 0; i < 3; ++i) {
        host::ShotEntry shot;
        shot.shot = i;
        shot.team = i % 2;
        shot.delivered = i != 1;
        shot.seconds = 0.123344;
        for (int k = 0; k < records::StoneCount; ++k) {
            shot.stones[k] = {awkward[(k + i) % 8], awkward[(k + 3) % 8]};
        }
        shot.sent = {awkward[i], awkward[i + 4], static_cast<std::uint8_t>(i % 2), {}};
        shot.played = {awkward[i + 1], awkward[i + 5], 0, {}};
        shot.aimed = {awkward[i + 2], awkward[i + 3]};
        shot.moved = {awkward[i + 3], awkward[i + 2]};
        shot.fault = shot.delivered ? "" : "an answer \"late\"";
        shot.reply = shot.delivered ? "" : "BESTSHOT \\x00";
        shot.dropped = i == 2 ? "READYOK" : "";
        shot.restarted = i == 1;
        log.shots.push_back(shot);
    }
    log.ends.push_back(host::EndEntry{0, 1, {0, 3}, {0, 3}, 0});
    log.outcome = host::GameOutcome{-1, {true, true}, {0, 3}};
    log.forfeitMessage = "both engines did \"nothing\"";
    log.logCut[1] = true;
    log.finished = true;
    return log;
}

// A shot whose stone 1 runs to rest, stone 2 leaves the sheet and stone 0 stands still.
host::ShotEntry MovingShot() {
    host::ShotEntry shot = AwkwardLog().shots[0];
    std::fill(std::begin(shot.stones), std::end(shot.stones), records::StonePosition{});
    shot.stones[0] = {2.0f, 5.0f};
    shot.stones[1] = {2.75f, 3.75f};
    const records::StonePosition one[] = {{2.375f, 41.28f}, {2.5f, 28.5f}, {2.625f, 16.25f}, {2.75f, 3.75f}};
    const records::StonePosition two[] = {{1.0f, 6.0f}, {0.5f, 6.0f}, {}, {}};
    for (int k = 0; k < 4; ++k) {
        host::StoneFrame frame{};
        frame[0] = shot.stones[0];
        frame[1] = one[k];
        frame[2] = two[k];
        shot.path.frames.push_back(frame);
    }
    return shot;
}

// The record's lines in the order the host writes them: each end after its shots.
std::string Lines(const host::GameLog& log) {
    std::string text = host::JsonText(host::GameLineJson(log.setup)) + '\n';
    std::size_t end = 0;
    for (const host::ShotEntry& shot : log.shots) {
        for (; end < log.ends.size() && log.ends[end].end < shot.end; ++end) {
            text += host::JsonText(host::EndLineJson(log.ends[end])) + '\n';
        }
        text += host::JsonText(host::ShotLineJson(shot)) + '\n';
    }
    for (; end < log.ends.size(); ++end) {
        text += host::JsonText(host::EndLineJson(log.ends[end])) + '\n';
    }
    return log.finished ? text + host::JsonText(host::ResultLineJson(log)) + '\n' : text;
}

// Written and read back, every field returns, floats to the bit: the engine protocol and the replay
// both depend on the exact stone positions.
TEST(RecordJson, EveryFieldReadsBackAsWritten) {
    const host::GameLog log = AwkwardLog();
    host::GameLog back;
    std::string error;
    ASSERT_TRUE(host::ReadGameRecord(Lines(log), back, error)) << error;
    EXPECT_EQ(back.setup.engines[0], log.setup.engines[0]);
    EXPECT_EQ(back.setup.engines[1], log.setup.engines[1]);
    EXPECT_TRUE(back.setup.seed == log.setup.seed && back.setup.pair == 6 && back.setup.noiseScale == 0.35);
    ASSERT_EQ(back.shots.size(), log.shots.size());
    for (std::size_t i = 0; i < log.shots.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "shot " << i);
        const host::ShotEntry &a = log.shots[i], &b = back.shots[i];
        for (int k = 0; k < records::StoneCount; ++k) {
            EXPECT_TRUE(SameBits(a.stones[k].x, b.stones[k].x) && SameBits(a.stones[k].y, b.stones[k].y))
                << k;
        }
        if (a.delivered) {
            EXPECT_TRUE(SameBits(a.sent.vx, b.sent.vx) && SameBits(a.sent.vy, b.sent.vy) &&
                        a.sent.curl == b.sent.curl);
            EXPECT_TRUE(SameBits(a.played.vx, b.played.vx) && SameBits(a.moved.y, b.moved.y) &&
                        SameBits(a.aimed.x, b.aimed.x));
        }
        EXPECT_TRUE(a.delivered == b.delivered && a.fault == b.fault && a.reply == b.reply &&
                    a.dropped == b.dropped && a.restarted == b.restarted && a.seconds == b.seconds);
    }
    ASSERT_EQ(back.ends.size(), 1u);
    EXPECT_TRUE(back.ends[0].points[1] == 3 && back.ends[0].nextHammer == 0);
    EXPECT_TRUE(back.finished && back.outcome.winner == -1 && back.outcome.forfeited[1] && back.logCut[1]);
    EXPECT_EQ(back.forfeitMessage, log.forfeitMessage);
    EXPECT_EQ(Lines(back), Lines(log));
}

TEST(RecordJson, EachLineIsOneLineOfAsciiWhateverTheEnginesSent) {
    host::GameLog log = AwkwardLog();
    log.setup.engines[1] = "bad \xff\xfe bytes\r\n\xe2\x80\xa8";
    const std::string text = Lines(log);
    for (char c : text.substr(0, text.size() - 1)) {
        ASSERT_TRUE(c == '\n' || (c >= 32 && c < 127)) << static_cast<int>(c);
    }
    EXPECT_EQ(hosttest::CountOf(text, "\n"), 6u);
    host::GameLog back;
    std::string error;
    ASSERT_TRUE(host::ReadGameRecord(text, back, error)) << error;
    EXPECT_EQ(back.setup.engines[1], "bad \xef\xbf\xbd\xef\xbf\xbd bytes\r\n\xe2\x80\xa8");  // U+FFFD twice
}

// A path reads back as the frames that write it again, stones that stood still and stones that left.
TEST(RecordJson, PathsReadBackAsTheirFrames) {
    const host::ShotEntry shot = MovingShot();
    const host::Json written = host::PathJson(shot.path);
    EXPECT_EQ(host::JsonText(written),
              R"({"1":[2.375,41.28,2.5,28.5,2.625,16.25,2.75,3.75],"2":[1,6,0.5,6]})");
    host::GameLog log;
    std::string error;
    ASSERT_TRUE(host::ReadRecordLine(host::JsonText(host::ShotLineJson(shot)), log, error)) << error;
    const host::ShotPath& path = log.shots.at(0).path;
    ASSERT_EQ(path.frames.size(), 4u);
    EXPECT_EQ(path.frames[3][0].y, 5.0f);
    EXPECT_EQ(path.frames[3][2].x, 0.0f);
    EXPECT_EQ(host::PathJson(path), written);
}

TEST(RecordJson, RefusesLinesItNeverWritesAndKeepsWhatReadBeforeACut) {
    const std::string shot = host::JsonText(host::ShotLineJson(MovingShot()));
    const std::string refused[] = {
        "",
        "[1,2]",
        R"({"type":"shot"})",
        R"({"type":"lunch","end":0})",
        shot.substr(0, shot.size() - 9),
        R"({"type":"end","end":0,"hammer":2,"points":[0,1],"totals":[0,1],"nextHammer":0})",
        R"({"type":"end","end":0,"hammer":1,"points":[0,1],"totals":[0,1.5],"nextHammer":0})",
        R"({"type":"result","totals":[0,1],"winner":null,"forfeited":[false],"message":"","logCut":[false,false]})",
        std::string(shot).replace(shot.find("\"curl\":0"), 8, "\"curl\":2"),
        std::string(shot).replace(shot.find("\"stones\":[["), 11, "\"stones\":[[1e39,"),
        std::string(shot).replace(shot.find("\"path\":{\"1\""), 11, "\"path\":{\"16\""),
    };
    for (const std::string& line : refused) {
        SCOPED_TRACE(line);
        host::GameLog log;
        std::string error;
        EXPECT_FALSE(host::ReadRecordLine(line, log, error));
        EXPECT_FALSE(error.empty());
        EXPECT_TRUE(log.shots.empty() && log.ends.empty() && !log.finished);
    }
    // A host stopped mid-write leaves a last line without its end; a bad line elsewhere is a fault.
    const std::string lines = Lines(AwkwardLog());
    host::GameLog log;
    std::string error;
    EXPECT_TRUE(host::ReadGameRecord(lines.substr(0, lines.size() - 20), log, error)) << error;
    EXPECT_TRUE(log.shots.size() == 3 && log.ends.size() == 1 && !log.finished);
    EXPECT_FALSE(host::ReadGameRecord("\n" + lines, log, error));
    EXPECT_EQ(error.rfind("line 1: ", 0), 0u) << error;
}

// Records that the host wrote before its JSON went through a library: every line reads, and written
// again it holds the same values, member for member, but for the paths of stones nudged by less than
// a millimetre, which read as standing still.
TEST(RecordJson, EarlierRecordsReadAndWriteBackTheSameValues) {
    for (const char* game : {"whole/game-001", "whole/game-004", "shard2/game-003", "faulty_game"}) {
        SCOPED_TRACE(game);
        const std::string text =
            hosttest::ReadFile(std::string(EARLIER_MATCH_DIR) + "/" + game + "/record.jsonl");
        host::GameLog log;
        std::string error;
        ASSERT_TRUE(host::ReadGameRecord(text, log, error)) << error;
        ASSERT_TRUE(log.finished);
        std::istringstream earlier(text), again(Lines(log));
        std::string a, b;
        int number = 0;
        while (std::getline(earlier, a) && std::getline(again, b)) {
            SCOPED_TRACE(++number);
            host::Json before, after;
            ASSERT_TRUE(host::ParseJsonText(a, before, error) && host::ParseJsonText(b, after, error));
            host::Json& path = before["path"];
            for (auto track = path.begin(); path.is_object() && track != path.end();) {
                bool still = true;
                for (std::size_t k = 2; k < track->size(); ++k) {
                    still = still && (*track)[k] == (*track)[k % 2];
                }
                track = still ? path.erase(track) : std::next(track);
            }
            if (path.is_null()) {
                before.erase("path");
            }
            EXPECT_EQ(before, after);
        }
        EXPECT_EQ(hosttest::CountOf(text, "\n"), hosttest::CountOf(Lines(log), "\n"));
    }
}

}  // namespace
