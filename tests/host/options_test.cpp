#include "host/options.h"

#include "host/match_runner.h"
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

TEST(Options, ReadsEveryFlagAndFillsDefaults) {
    std::string folder = testsupport::MakeTemporaryDirectory();
    std::string engine = MakeFile(folder, "engine", 0755);
    std::string other = MakeFile(folder, "other", 0755);
    host::MatchOptions options;
    std::string error;
    ASSERT_TRUE(host::ParseOptions(
        {"--engine", engine, "--ends=3", "--games", "4", "--jobs", "2", "--seed", "18446744073709551615",
         "--noise", "0.5", "--shot-timeout", "2.5", "--out", "x/y"},
        other, options, error))
        << error;
    EXPECT_EQ(options.engines[0], engine);
    EXPECT_EQ(options.engines[1], other);
    EXPECT_EQ(options.ends, 3);
    EXPECT_EQ(options.games, 4);
    EXPECT_EQ(options.jobs, 2);
    EXPECT_EQ(options.seed, 18446744073709551615ull);
    EXPECT_EQ(options.noise, 0.5);
    EXPECT_EQ(options.shotTimeout, 2.5);
    EXPECT_EQ(options.out, "x/y");
}

TEST(Options, RefusesBadInputWithOneLine) {
    std::string folder = testsupport::MakeTemporaryDirectory();
    std::string engine = MakeFile(folder, "engine", 0755);
    std::string plain = MakeFile(folder, "plain", 0644);
    struct Case {
        std::vector<std::string> arguments;
        const char* reason;
    } cases[] = {
        {{"--bogus"}, "unknown option '--bogus'"},
        {{"ends", "3"}, "unknown option 'ends'"},
        {{"--ends"}, "--ends needs a value"},
        {{"--ends", "0"}, "--ends wants"},
        {{"--ends", "abc"}, "--ends wants"},
        {{"--ends", "3.5"}, "--ends wants"},
        {{"--ends", "99999999999999999999"}, "--ends wants"},
        {{"--games", "-1"}, "--games wants"},
        {{"--jobs", ""}, "--jobs wants"},
        {{"--seed", "-3"}, "--seed wants"},
        {{"--seed", "18446744073709551616"}, "--seed wants"},
        {{"--noise", "nan"}, "--noise wants"},
        {{"--noise", "-0.1"}, "--noise wants"},
        {{"--shot-timeout", "0"}, "--shot-timeout wants"},
        {{"--shot-timeout", "inf"}, "--shot-timeout wants"},
        {{"--out", ""}, "--out needs a folder"},
        {{"--engine", folder + "/missing"}, "engine not found"},
        {{"--engine", plain}, "engine is not executable"},
        {{"--engine", engine, "--engine", engine, "--engine", engine}, "more than twice"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        host::MatchOptions options;
        std::string error;
        EXPECT_FALSE(host::ParseOptions(c.arguments, engine, options, error));
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos);
    }
}

TEST(Options, OutputFoldersAreMadeWithTheirParentsOrRefused) {
    std::string error;
    std::string folder = testsupport::MakeTemporaryDirectory();
    EXPECT_TRUE(host::MakeFolders(folder + "/a/b/c", error)) << error;
    std::string file = folder + "/file";
    std::ofstream(file) << "x";
    EXPECT_FALSE(host::MakeFolders(file + "/d", error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
