#include "platform/text.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Tests run in the C locale, where the C runtime's own conversions are the reference.
TEST(ParseReal, ReadsWhatAtofReads) {
    const std::vector<std::string> groups[] = {
        {"2.375", "  -4.88", "\t+1e3x", "12abc", ".5", "5.", "1e-7", "0.12345678901234567"},
        {".", "-", "", "1e", "1e+", "+-1", "-+1", "--1"},  // no number, or less of one than it seems
        {"0x1.8p1", "-0X1P3", "0x", "0xg", "-0x.g", "0x-1", "0xinf", "inf", "-Infinity", "nan", "-nan",
         "nan(7)"},
        {"1e400", "-1e400", "1e-400", "4e-320", "0x1p5000", "0x1p-5000", "3.4028236e38",
         std::string(400, '9'), "0." + std::string(400, '0') + "1"},  // beyond the double range, or nearly
    };
    for (const std::vector<std::string>& group : groups) {
        for (const std::string& text : group) {
            SCOPED_TRACE(testing::Message() << '"' << text.substr(0, 40) << '"');
            const double expected = std::strtod(text.c_str(), nullptr);
            const double got = platform::ParseReal(text.c_str());
            if (std::isnan(expected)) {
                EXPECT_TRUE(std::isnan(got));
                EXPECT_EQ(std::signbit(got), std::signbit(expected));
            } else {
                EXPECT_EQ(std::memcmp(&got, &expected, sizeof got), 0) << got << " for " << expected;
            }
        }
    }
}

TEST(FormatFixed, WritesWhatPrintfWritesWithPercentF) {
    const double cases[] = {0.0,       -0.0,    0.0078125, 0.0000005, -1e-7,  -29.912973f,
                            2.5e-6,    1e20,    FLT_MAX,   DBL_MAX,   4e-320, -0.5,
                            0.0000015, 1.0 / 3, HUGE_VAL,  -HUGE_VAL};
    for (double value : cases) {
        SCOPED_TRACE(testing::Message() << value);
        char expected[400];
        std::snprintf(expected, sizeof expected, "%f", value);
        EXPECT_EQ(platform::FormatFixed(value), expected);
    }
}

}  // namespace
