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
    // The largest seed, and the flags no process-level test sets; the second engine defaults.
    host::MatchOptions options;
    std::string error;
    ASSERT_TRUE(
        host::ParseOptions({"--engine", engine, "--seed", "18446744073709551615", "--noise", "0.5",
                            "--shot-timeout=2.5", "--paired", "--games", "4", "--sprt", "-5,5,0.1,0.2"},
                           other, options, error))
        << error;
    EXPECT_TRUE(options.engines[1] == other && options.seed == 18446744073709551615ull &&
                options.noise == 0.5 && options.shotTimeout == 2.5 && options.paired &&
                options.sprt.enabled && options.sprt.elo0 == -5.0 && options.sprt.beta == 0.2);

    struct Case {
        std::vector<std::string> arguments;
        const char* reason;
    } cases[] = {
        {{"ends", "3"}, "unknown option 'ends'"},
        {{"--x\ny"}, "unknown option '--x\\x0ay'"},  // what is echoed stays on one line
        {{"--ends"}, "--ends needs a value"},
        {{"--ends", "99999999999999999999"}, "--ends wants"},
        {{"--seed", "18446744073709551616"}, "--seed wants"},
        {{"--noise", "nan"}, "--noise wants"},
        {{"--log-limit", "-5"}, "--log-limit wants"},
        {{"--sprt", "5,0"}, "--sprt wants"},
        {{"--sprt", "0,5,0.05"}, "--sprt wants"},
        {{"--paired", "--games", "3"}, "even number"},
        {{"--engine", MakeFile(folder, "plain", 0644)}, "engine is not executable"},
        {{"--engine", engine, "--engine", engine, "--engine", engine}, "more than twice"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        host::MatchOptions fresh;
        EXPECT_FALSE(host::ParseOptions(c.arguments, engine, fresh, error));
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos);
    }
}

}  // namespace
