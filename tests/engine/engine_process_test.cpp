#include "tests/support/engine_process.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A copy of the built engine in a folder of its own, with or without the test library beside it or on
// the library search path; the quiet commands must write nothing and end of input must end it.
TEST(EngineProcess, FindsTheLibraryOrSaysItCannotAndEndsWithCodeZero) {
    std::string libraryFolder = FAKE_SIMULATOR_PATH;
    libraryFolder.erase(libraryFolder.rfind('/'));
    struct Case {
        const char* name;
        bool besideIt;
        std::string searchPath;
        const char* error;
    } cases[] = {
        {"beside the engine", true, "", ""},
        {"on the search path", false, libraryFolder, ""},
        {"nowhere", false, "", "failed to load CurlingSimulator.dll\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string folder = testsupport::MakeTemporaryDirectory();
        ASSERT_TRUE(testsupport::CopyFile(CURLING_ENGINE_PATH, folder + "/curling-engine"));
        ASSERT_TRUE(!c.besideIt ||
                    testsupport::CopyFile(FAKE_SIMULATOR_PATH, folder + "/CurlingSimulator.dll"));
        testsupport::ProcessResult run =
            testsupport::RunProcess(folder + "/curling-engine",
                                    {"NEWGAME\n", "POSITION 2.375 4.88\n", "SETSTATE 1 0 8 0\r\n",
                                     "SCORE 1\n", "bogus words\n", "\n"},
                                    {"LD_LIBRARY_PATH=" + c.searchPath}, 30);
        EXPECT_TRUE(run.finished);
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.standardError, c.error);
        EXPECT_EQ(run.standardOutput, "");
    }
}

}  // namespace
