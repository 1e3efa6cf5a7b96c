// curling-match as a user runs it: command-line errors, a whole match, and a host killed mid-game.
#include "host/json_text.h"
#include "tests/host/fixtures.h"
#include "tests/support/engine_process.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace {

using hosttest::CountOf;
using hosttest::FakeEngine;
using hosttest::ReadFile;

testsupport::ProcessResult RunHost(const std::vector<std::string>& arguments, double timeoutSeconds = 60.0) {
    return testsupport::RunProcess(CURLING_MATCH_PATH, {}, {}, timeoutSeconds, arguments);
}

// The record less what differs between two runs of the same game: wall-clock times.
std::string WithoutTimes(std::string record) {
    for (std::size_t at = record.find("\"seconds\":"); at != std::string::npos;
         at = record.find("\"seconds\":", at)) {
        record.erase(at, record.find_first_of(",}", at) - at);
    }
    return record;
}

TEST(MatchProcess, PlaysAMatchInParallelAndTheSameSeedReplaysIt) {
    std::string out = testsupport::MakeTemporaryDirectory() + "/matches/";  // made with its parents
    const std::string engines[] = {FakeEngine("good"), FakeEngine("good")};
    const char* runs[][2] = {{"first", "9"}, {"second", "9"}, {"other", "10"}};
    for (const auto& run : runs) {
        testsupport::ProcessResult host =
            RunHost({"--engine", engines[0], "--engine", engines[1], "--ends", "2", "--games", "3", "--jobs",
                     "2", "--out", out + run[0], "--seed", run[1]});
        ASSERT_EQ(host.exitCode, 0) << host.standardError;
        EXPECT_NE(host.standardOutput.find("Match of 3 games"), std::string::npos) << host.standardOutput;
    }
    for (const char* game : {"/game-001/", "/game-002/", "/game-003/"}) {
        SCOPED_TRACE(game);
        std::vector<std::string> record = hosttest::ReadRecord(out + "first" + game + "record.jsonl");
        std::string first = WithoutTimes(ReadFile(out + "first" + game + "record.jsonl"));
        EXPECT_TRUE(first == WithoutTimes(ReadFile(out + "second" + game + "record.jsonl")));
        EXPECT_TRUE(first != WithoutTimes(ReadFile(out + "other" + game + "record.jsonl")));
        ASSERT_GE(record.size(), 34u);
        EXPECT_NE(hosttest::Field(record[1], "sent"), hosttest::Field(record[1], "played"));  // noise is on
        EXPECT_EQ(CountOf(first, "\"type\":\"result\""), 1u);
    }
}

// Both games of a pair draw the same noise for the same shot, with the engines' colours swapped; the
// test stops the match once it decides (identical engines draw every game: their equality is accepted).
TEST(MatchProcess, PairedGamesShareTheirNoiseAndTheTestStopsTheMatch) {
    const std::string out = testsupport::MakeTemporaryDirectory() + "/paired";
    const std::string engines[] = {FakeEngine("good"), FakeEngine("good")};
    testsupport::ProcessResult host = RunHost({"--engine", engines[0], "--engine", engines[1], "--ends", "1",
                                               "--games", "40", "--paired", "--sprt", "0,100", "--out", out});
    ASSERT_EQ(host.exitCode, 0) << host.standardError;
    const std::vector<std::string> pair[2] = {hosttest::ReadRecord(out + "/game-001/record.jsonl"),
                                              hosttest::ReadRecord(out + "/game-002/record.jsonl")};
    ASSERT_TRUE(pair[0].size() > 1 && pair[1].size() > 1);
    EXPECT_EQ(hosttest::Field(pair[0][0], "engines"), "[\"" + engines[0] + "\",\"" + engines[1] + "\"]");
    EXPECT_EQ(hosttest::Field(pair[1][0], "engines"), "[\"" + engines[1] + "\",\"" + engines[0] + "\"]");
    EXPECT_EQ(hosttest::Field(pair[0][1], "moved"), hosttest::Field(pair[1][1], "moved"));
    const std::string summary = ReadFile(out + "/summary.json");
    EXPECT_NE(summary.find("\"model\":\"pentanomial\""), std::string::npos) << summary;
    EXPECT_NE(summary.find("\"state\":\"H0\""), std::string::npos) << summary;
    EXPECT_TRUE(ReadFile(out + "/game-040/record.jsonl").empty()) << "the match stopped early";
}

// The baseline engines speak the protocol well enough for a whole game without a fault.
TEST(MatchProcess, TheBaselineEnginesPlayAGame) {
    const std::string out = testsupport::MakeTemporaryDirectory() + "/baselines";
    testsupport::ProcessResult host = RunHost(
        {"--engine", CURLING_DRAWER_PATH, "--engine", CURLING_RANDOM_PATH, "--ends", "1", "--out", out});
    ASSERT_EQ(host.exitCode, 0) << host.standardError;
    const std::string record = ReadFile(out + "/record.jsonl");
    EXPECT_EQ(CountOf(record, "\"delivered\":true"), 16u) << record;
    EXPECT_EQ(CountOf(record, "\"fault\""), 0u);
}

// A match played as shards through GNU parallel and merged is the match played in one run.
TEST(MatchProcess, ShardsMergeIntoTheWholeMatch) {
    const std::string out = testsupport::MakeTemporaryDirectory();
    const std::vector<std::string> match = {
        "--engine", FakeEngine("good"), "--engine", FakeEngine("good"), "--ends", "1", "--games", "12",
        "--paired", "--seed",           "5"};
    std::vector<std::string> whole = match, shards = {"-j", "3", CURLING_MATCH_PATH};
    whole.insert(whole.end(), {"--out", out + "/whole"});
    shards.insert(shards.end(), match.begin(), match.end());
    shards.insert(shards.end(),
                  {"--game-range", "{}", "--out", out + "/shard{#}", ":::", "1:4", "4:9", "9:13"});
    ASSERT_EQ(RunHost(whole).exitCode, 0);
    ASSERT_EQ(testsupport::RunProcess("/usr/bin/parallel", {}, {}, 60.0, shards).exitCode, 0);
    const std::string shard[] = {out + "/shard1", out + "/shard2", out + "/shard3"};
    testsupport::ProcessResult merged =
        RunHost({"merge", shard[2], shard[0], shard[1], "--out", out + "/merged"});
    ASSERT_EQ(merged.exitCode, 0) << merged.standardError;
    EXPECT_EQ(ReadFile(out + "/merged/summary.json"), ReadFile(out + "/whole/summary.json"));
    EXPECT_NE(ReadFile(out + "/whole/summary.txt").find(merged.standardOutput), std::string::npos);

    std::vector<std::string> other = match;
    other[other.size() - 1] = "6";
    other.insert(other.end(), {"--game-range", "1:4", "--out", out + "/other"});
    ASSERT_EQ(RunHost(other).exitCode, 0);
    const std::pair<std::vector<std::string>, const char*> refused[] = {
        {{"merge", shard[0], shard[0], shard[1], shard[2]}, "overlaps"},
        {{"merge", shard[0], shard[2]}, "no shard plays game 4"},
        {{"merge", out + "/other", shard[1], shard[2]}, "other settings"},
    };
    for (const auto& [arguments, reason] : refused) {
        testsupport::ProcessResult run = RunHost(arguments);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_NE(run.standardError.find(reason), std::string::npos) << run.standardError;
    }
}

// Shards that an earlier host wrote still merge, into the summary of their whole match.
TEST(MatchProcess, EarlierShardsMergeIntoTheirWholeMatch) {
    const std::string out = testsupport::MakeTemporaryDirectory(), earlier = EARLIER_MATCH_DIR;
    testsupport::ProcessResult merged =
        RunHost({"merge", earlier + "/shard2", earlier + "/shard1", "--out", out + "/merged"});
    ASSERT_EQ(merged.exitCode, 0) << merged.standardError;
    ASSERT_EQ(RunHost({"merge", earlier + "/whole", "--out", out + "/whole"}).exitCode, 0);
    const std::string summary = ReadFile(out + "/merged/summary.json");
    EXPECT_EQ(summary, ReadFile(out + "/whole/summary.json"));
    host::Json before, after;
    std::string error;
    ASSERT_TRUE(host::ParseJsonText(ReadFile(earlier + "/whole/summary.json"), before, error)) << error;
    ASSERT_TRUE(host::ParseJsonText(summary, after, error)) << error;
    EXPECT_EQ(before, after);
}

TEST(MatchProcess, AKilledHostLeavesARecordAndAPageThatReadBack) {
    std::string out = testsupport::MakeTemporaryDirectory() + "/match", error;
    // Killed after 5 s, in the midst of a game that takes 128 times 0.2 s: time for a few shots even on a
    // slow machine, and far from its end on a fast one.
    testsupport::ProcessResult run =
        RunHost({"--engine", FakeEngine("slow"), "--engine", FakeEngine("slow"), "--out", out}, 5.0);
    EXPECT_FALSE(run.finished);
    std::vector<std::string> record = hosttest::ReadRecord(out + "/record.jsonl");
    ASSERT_GE(record.size(), 3u);
    // After the game's line only shots, and an end's line after its sixteenth.
    const std::string text = ReadFile(out + "/record.jsonl");
    EXPECT_EQ(CountOf(text, "\"type\":\"shot\"") + CountOf(text, "\"type\":\"end\""), record.size() - 1);
    std::string page = ReadFile(out + "/replay.html");
    EXPECT_TRUE(hosttest::WholePage(page, error)) << error;
    // The replay's data follows the record by at most the line being written.
    const std::string data = ReadFile(out + "/replay-data.js");
    EXPECT_GE(CountOf(data, "\nR.s(") + CountOf(data, "\nR.e(") + 2, record.size());
}

}  // namespace
