// curling-match as a user runs it: command-line errors, whole matches, and a host stopped mid-game.
#include "tests/host/json_reader.h"
#include "tests/host/scripted_sheet.h"
#include "tests/host/xml_check.h"
#include "tests/support/engine_process.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace {

using hosttest::FakeEngine;
using hosttest::Json;

struct HostRun {
    int exitCode = -1;  // -1 when a signal ended it
    std::string standardOutput;
    std::string standardError;
};

// Runs curling-match with the arguments; after `stopAfter` seconds (if positive) sends it `stopSignal`.
HostRun RunHost(const std::vector<std::string>& arguments, double stopAfter = 0.0, int stopSignal = SIGTERM) {
    std::string folder = testsupport::MakeTemporaryDirectory();
    std::string outPath = folder + "/stdout", errPath = folder + "/stderr";
    pid_t child = fork();
    if (child == 0) {
        int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        std::vector<char*> argv = {const_cast<char*>(CURLING_MATCH_PATH)};
        for (const std::string& argument : arguments) {
            argv.push_back(const_cast<char*>(argument.c_str()));
        }
        argv.push_back(nullptr);
        execv(CURLING_MATCH_PATH, argv.data());
        _exit(127);
    }
    if (stopAfter > 0.0) {
        std::this_thread::sleep_for(std::chrono::duration<double>(stopAfter));
        kill(child, stopSignal);
    }
    int status = 0;
    waitpid(child, &status, 0);
    HostRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.standardOutput = hosttest::ReadFile(outPath);
    run.standardError = hosttest::ReadFile(errPath);
    return run;
}

// The record less what differs between two runs of the same game: wall-clock times and folders.
std::string WithoutTimes(std::string record) {
    const std::string key = "\"seconds\":";
    for (std::size_t at = record.find(key); at != std::string::npos; at = record.find(key, at)) {
        record.erase(at, record.find_first_of(",}", at) - at);
    }
    return record;
}

std::size_t CountOf(const std::vector<Json>& record, const char* type) {
    std::size_t count = 0;
    for (const Json& line : record) {
        count += line["type"].text == type ? 1 : 0;
    }
    return count;
}

TEST(MatchProcess, BadCommandLinesGiveOneLineAndAFailingExit) {
    std::vector<std::vector<std::string>> cases = {
        {"--frobnicate"},  {"--ends", "many"}, {"--games"}, {"--engine", "/nonexistent/engine"},
        {"--noise", "-1"},
    };
    for (const std::vector<std::string>& arguments : cases) {
        SCOPED_TRACE(arguments[0]);
        HostRun run = RunHost(arguments);
        EXPECT_NE(run.exitCode, 0);
        EXPECT_EQ(run.standardOutput, "");
        ASSERT_FALSE(run.standardError.empty());
        EXPECT_EQ(run.standardError.find('\n'), run.standardError.size() - 1) << run.standardError;
        EXPECT_EQ(run.standardError.rfind("curling-match: ", 0), 0u) << run.standardError;
    }
}

TEST(MatchProcess, PlaysAMatchInParallelAndTheSameSeedReplaysIt) {
    std::string out = testsupport::MakeTemporaryDirectory();
    std::vector<std::string> arguments = {
        "--engine", FakeEngine("good"), "--engine", FakeEngine("good"), "--ends", "2", "--games",
        "3",        "--jobs",           "2",        "--seed",           "9"};
    arguments.insert(arguments.end(), {"--out", out + "/first"});
    HostRun first = RunHost(arguments);
    arguments.back() = out + "/second";
    HostRun second = RunHost(arguments);
    ASSERT_EQ(first.exitCode, 0) << first.standardError;
    ASSERT_EQ(second.exitCode, 0) << second.standardError;
    EXPECT_NE(first.standardOutput.find("Match of 3 games"), std::string::npos) << first.standardOutput;
    for (const char* game : {"/game-001", "/game-002", "/game-003"}) {
        SCOPED_TRACE(game);
        std::string a = WithoutTimes(hosttest::ReadFile(out + "/first" + game + "/record.jsonl"));
        std::string b = WithoutTimes(hosttest::ReadFile(out + "/second" + game + "/record.jsonl"));
        EXPECT_EQ(a, b);
        std::vector<Json> record = hosttest::ReadRecord(out + "/first" + game + "/record.jsonl");
        EXPECT_EQ(CountOf(record, "result"), 1u);
        EXPECT_GE(CountOf(record, "shot"), 32u);
        EXPECT_FALSE(hosttest::ReadFile(out + "/first" + game + "/engine-2.log").empty());
    }
}

TEST(MatchProcess, AStoppedHostLeavesARecordThatReadsBack) {
    for (int stopSignal : {SIGTERM, SIGKILL}) {
        SCOPED_TRACE(stopSignal);
        std::string out = testsupport::MakeTemporaryDirectory() + "/match";
        HostRun run = RunHost({"--engine", FakeEngine("slow"), "--engine", FakeEngine("slow"), "--out", out},
                              1.5, stopSignal);
        if (stopSignal == SIGTERM) {
            EXPECT_EQ(run.exitCode, 130);
            EXPECT_NE(run.standardError.find("interrupted; the record so far is in " + out),
                      std::string::npos)
                << run.standardError;
        }
        std::vector<Json> record = hosttest::ReadRecord(out + "/record.jsonl");
        std::size_t shots = CountOf(record, "shot");
        EXPECT_GE(shots, 2u);
        EXPECT_EQ(CountOf(record, "result"), 0u);
        std::string page = hosttest::ReadFile(out + "/replay.html");
        std::vector<hosttest::XmlElement> elements;
        std::string error;
        ASSERT_TRUE(hosttest::CheckXml(page.substr(page.find("<html")), elements, error)) << error;
        std::size_t frames = 0;
        for (const hosttest::XmlElement& element : elements) {
            frames += element.name == "g" && element.attributes.count("data-caption") != 0 ? 1 : 0;
        }
        EXPECT_GE(frames + 1, shots);  // the page follows the record by at most the shot being written
    }
}

}  // namespace
