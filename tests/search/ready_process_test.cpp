#include "engine/command_loop.h"
#include "tests/search/recording_simulator.h"
#include "tests/support/engine_process.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

namespace {

// Even a library without CreateShot: the shots stay zero, and the report says why.
TEST(Readiness, ClearsTheWholeRecordThenAnswersReadyOk) {
    engine::Engine engine;
    std::string replies;
    engine.writeReply = [&](const char* bytes, std::size_t size) { replies.append(bytes, size); };
    std::memset(&engine.state, 0x5a, sizeof(engine.state));
    const std::string log = searchtest::Captured([&](std::FILE* report) {
        engine.report = report;
        engine::HandleCommand(engine, "ISREADY trailing words");
    });
    EXPECT_EQ(replies, "READYOK");
    const records::GameState zero{};
    EXPECT_EQ(std::memcmp(&engine.state, &zero, sizeof(records::GameState)), 0);
    EXPECT_EQ(log.find("CurlingSimulator.dll has no CreateShot"), 0u) << log;
    const search::Tables& tables = engine.search.GetTables();
    EXPECT_TRUE(tables.candidateShots(1, 130, 52).vx == 0.0f &&
                tables.candidateTargets(1, 117, 26).x == 2.375f);
}

// The built engine in a folder of its own, beside the fake simulator library that logs its calls.
TEST(ReadyProcess, EveryReadinessCheckCallsTheLibraryOncePerCellInGridOrder) {
    std::string folder = testsupport::MakeTemporaryDirectory();
    ASSERT_TRUE(testsupport::CopyFile(CURLING_ENGINE_PATH, folder + "/curling-engine") &&
                testsupport::CopyFile(FAKE_SIMULATOR_PATH, folder + "/CurlingSimulator.dll"));
    testsupport::ProcessResult run = testsupport::RunProcess(
        folder + "/curling-engine",
        {"POSITION 2.375 4.88 1 2\n", "SETSTATE 5 1 8 1\n", "isReady now\n", "ISREADY\r\n"},
        {"CURLING_TEST_CALL_LOG=" + folder + "/calls.bin"}, 60);
    EXPECT_TRUE(run.finished);
    EXPECT_EQ(run.standardOutput, "READYOKREADYOK");
    const std::string lines = "Generated 8982 candidates\nGenerated 10994 tests\n";
    EXPECT_EQ(run.standardError, lines + lines);

    // Each call gets one cell's 12 bytes, curl in a zeroed word: candidates before tests, then cell
    // order (curl 0 before 1, strong rows before the draw grid, rows and then columns ascending).
    search::Search search;
    searchtest::PrepareRecorded(search);
    const search::Tables& tables = search.GetTables();
    const std::string expected = std::string(reinterpret_cast<const char*>(tables.candidateTargets.cells),
                                             sizeof(tables.candidateTargets.cells)) +
                                 std::string(reinterpret_cast<const char*>(tables.testTargets.cells),
                                             sizeof(tables.testTargets.cells));
    std::ifstream file(folder + "/calls.bin", std::ios::binary);
    const std::string calls{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    ASSERT_EQ(expected.size(), 19976u * 12u);
    EXPECT_TRUE(calls == expected + expected);
}

}  // namespace
