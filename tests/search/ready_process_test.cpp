#include "front/command_loop.h"
#include "search/search_tables.h"

#include "tests/search/recording_simulator.h"
#include "tests/support/engine_process.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

namespace {

// The built engine in a folder of its own, beside the fake simulator library that logs its calls.
std::string InstallEngineWithFakeLibrary() {
    std::string folder = testsupport::MakeTemporaryDirectory();
    EXPECT_FALSE(folder.empty());
    EXPECT_TRUE(testsupport::CopyFile(CURLING_ENGINE_PATH, folder + "/curling-engine"));
    EXPECT_TRUE(testsupport::CopyFile(FAKE_SIMULATOR_PATH, folder + "/CurlingSimulator.dll"));
    return folder;
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

TEST(Readiness, ClearsTheWholeRecordThenAnswersReadyOk) {
    front::Engine engine;
    std::string replies;
    engine.writeReply = [&](const char* bytes, std::size_t size) { replies.append(bytes, size); };
    engine.createShot = searchtest::RecordingCreateShot;
    std::memset(&engine.state, 0x5a, sizeof(engine.state));
    testing::internal::CaptureStderr();
    front::HandleCommand(engine, "ISREADY trailing words");
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(replies, "READYOK");
    const GameState zero{};
    EXPECT_EQ(std::memcmp(&engine.state, &zero, sizeof(GameState)), 0);
}

TEST(ReadyProcess, EveryReadinessCheckCallsTheLibraryForEveryCellAndAnswersReadyOk) {
    std::string folder = InstallEngineWithFakeLibrary();
    std::string callLog = folder + "/calls.bin";
    testsupport::ProcessResult run = testsupport::RunProcess(
        folder + "/curling-engine",
        {"POSITION 2.375 4.88 1 2\n", "SETSTATE 5 1 8 1\n", "isReady now\n", "ISREADY\r\n"},
        {"CURLING_TEST_CALL_LOG=" + callLog}, 60);
    EXPECT_TRUE(run.finished);
    EXPECT_EQ(run.standardOutput, "READYOKREADYOK");
    const std::string lines = "Generated 8982 candidates\nGenerated 10994 tests\n";
    EXPECT_EQ(run.standardError, lines + lines);

    // The library must see exactly the targets, in exactly the order, that the search generates.
    searchtest::RecordedTargets().clear();
    testing::internal::CaptureStderr();
    search::PrepareSearch(searchtest::RecordingCreateShot);
    testing::internal::GetCapturedStderr();
    const std::vector<ShotTarget>& recorded = searchtest::RecordedTargets();
    const std::string expected(reinterpret_cast<const char*>(recorded.data()),
                               recorded.size() * sizeof(ShotTarget));
    ASSERT_EQ(expected.size(), 19976u * 12u);
    EXPECT_TRUE(ReadFile(callLog) == expected + expected);
}

}  // namespace
