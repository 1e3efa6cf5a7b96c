#include "tests/support/engine_process.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A copy of the built engine in a folder of its own, with or without a simulator library beside it.
std::string InstallEngine(bool withLibrary) {
    std::string folder = testsupport::MakeTemporaryDirectory();
    EXPECT_FALSE(folder.empty());
    EXPECT_TRUE(testsupport::CopyFile(CURLING_ENGINE_PATH, folder + "/curling-engine"));
    if (withLibrary) {
        EXPECT_TRUE(testsupport::CopyFile(FAKE_SIMULATOR_PATH, folder + "/CurlingSimulator.dll"));
    }
    return folder + "/curling-engine";
}

TEST(EngineProcess, WithoutTheLibraryItSaysSoAndEnds) {
    std::string engine = InstallEngine(false);
    testsupport::ProcessResult run = testsupport::RunProcess(engine, {"ISREADY\n"}, {"LD_LIBRARY_PATH="}, 30);
    EXPECT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.standardError, "failed to load CurlingSimulator.dll\n");
    EXPECT_EQ(run.standardOutput, "");
}

TEST(EngineProcess, QuietCommandsWriteNothingAndEndOfInputEndsTheEngine) {
    std::string engine = InstallEngine(true);
    testsupport::ProcessResult run = testsupport::RunProcess(
        engine,
        {"NEWGAME\n", "POSITION 2.375 4.88\n", "SETSTATE 1 0 8 0\r\n", "SCORE 1\n", "bogus words\n", "\n"},
        {}, 30);
    EXPECT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.standardOutput, "");
    EXPECT_EQ(run.standardError, "");
}

TEST(EngineProcess, FindsTheLibraryThroughTheSearchPath) {
    std::string engine = InstallEngine(false);
    std::string fakeFolder = std::string(FAKE_SIMULATOR_PATH);
    fakeFolder.erase(fakeFolder.rfind('/'));
    testsupport::ProcessResult run =
        testsupport::RunProcess(engine, {"NEWGAME\n"}, {"LD_LIBRARY_PATH=" + fakeFolder}, 30);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.standardError, "");
}

}  // namespace
