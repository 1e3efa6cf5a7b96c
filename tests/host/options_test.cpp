#include "host/options.h"

#include "tests/support/engine_process.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>

namespace {

std::string MakeFile(const std::string& folder, const std::string& name, int mode) {
    std::string path = folder + "/" + name;
    std::ofstream(path) << "#!/bin/sh\n";
    chmod(path.c_str(), static_cast<mode_t>(mode));
    return path;
}

TEST(Options, ReadsEveryFlagAndRefusesBadInputWithOneLine) {
    std::string folder = testsupport::MakeTemporaryDirectory();
    std::string engine = MakeFile(folder, "engine", 0755);
    std::string other = MakeFile(folder, "other", 0755);
    // The largest seed, a negative number as a value, and the flags no process-level test sets; the
    // second engine defaults.
    host::CommandLine line;
    std::string error;
    ASSERT_TRUE(host::ParseCommandLine(
        {"--engine", engine, "--seed", "18446744073709551615", "--noise", "0.5", "--shot-timeout=2.5",
         "--paired", "--games", "4", "--sprt", "-5,5,0.1,0.2", "--log-limit", "0.5", "--game-range", "2:4"},
        other, line, error))
        << error;
    const host::MatchOptions& options = line.match;
    EXPECT_EQ(line.command, host::HostCommand::Play);
    EXPECT_TRUE(options.engines[0] == engine && options.engines[1] == other &&
                options.seed == 18446744073709551615ull && options.noise == 0.5 &&
                options.shotTimeout == 2.5 && options.paired && options.sprt.enabled &&
                options.sprt.elo0 == -5.0 && options.sprt.beta == 0.2 && options.logLimitBytes == 524288u &&
                options.firstGame == 2 && options.endGame == 4);

    struct Case {
        std::vector<std::string> arguments;
        const char* reason;
    } cases[] = {
        {{"ends", "3"}, "unknown option 'ends'"},
        {{"--x\ny"}, "unknown option '--x\\x0ay'"},  // what is echoed stays on one line
        {{"--engine", engine, "stray"}, "unknown option 'stray'"},
        {{"--ends"}, "--ends"},
        {{"--ends", "99999999999999999999"}, "--ends: wants a whole number from 1 to 100"},
        {{"--ends=2.5"}, "--ends: wants"},
        {{"--seed", "18446744073709551616"}, "--seed: wants"},
        {{"--seed", "-1"}, "--seed: wants"},
        {{"--noise", "nan"}, "--noise: wants"},
        {{"--log-limit", "-5"}, "--log-limit: wants"},
        {{"--out", ""}, "--out: wants a folder"},
        {{"--sprt", "5,0"}, "--sprt: wants"},
        {{"--sprt", "0,5,0.05"}, "--sprt: wants"},
        {{"--game-range", "3:3"}, "--game-range: wants"},
        {{"--game-range", "2:5", "--games", "3"}, "goes past the match's 3 games"},
        {{"--paired", "--games", "3"}, "even number"},
        {{"--paired=maybe"}, "--paired"},
        {{"--engine", MakeFile(folder, "plain", 0644)}, "engine is not executable"},
        {{"--engine", folder + "/none"}, "engine not found"},
        {{"--engine", engine, "--engine", engine, "--engine", engine}, "more than twice"},
        {{"merge"}, "name the shards' folders"},
        {{"merge", "a", "--ends", "3"}, "unknown option '--ends'"},
        {{"--ends", "3", "merge", "a"}, "merge takes the settings from the shards, not --ends"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        host::CommandLine fresh;
        EXPECT_FALSE(host::ParseCommandLine(c.arguments, engine, fresh, error));
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos);
    }
}

TEST(Options, MergeAndHelpAreCommandsOfTheirOwn) {
    host::CommandLine line;
    std::string error;
    ASSERT_TRUE(host::ParseCommandLine({"merge", "a", "--out", "c", "b"}, "engine", line, error)) << error;
    EXPECT_EQ(line.command, host::HostCommand::Merge);
    EXPECT_EQ(line.merge.folders, std::vector<std::string>({"a", "b"}));
    EXPECT_EQ(line.merge.out, "c");
    // Help wins over a missing engine, and each command has its own.
    ASSERT_TRUE(host::ParseCommandLine({"--engine", "/nowhere", "--help"}, "engine", line, error)) << error;
    EXPECT_EQ(line.command, host::HostCommand::Help);
    EXPECT_NE(line.help.find("--game-range"), std::string::npos) << line.help;
    ASSERT_TRUE(host::ParseCommandLine({"merge", "-h"}, "engine", line, error)) << error;
    EXPECT_NE(line.help.find("--out"), std::string::npos) << line.help;
    EXPECT_EQ(line.help.find("--ends"), std::string::npos) << line.help;
}

}  // namespace
