#include "host/protocol.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

// The engine reads numbers as atof does and rounds them to single precision.
bool ReadsBackAs(const std::string& text, float value) {
    float back = static_cast<float>(std::atof(text.c_str()));
    return std::memcmp(&back, &value, sizeof(float)) == 0;
}

TEST(ProtocolText, FloatsReadBackBitForBit) {
    // Negative zero, then every 65521st bit pattern: both signs, subnormals, the largest exponents.
    for (uint32_t i = 0; i <= 65551; ++i) {
        uint32_t bits = i == 0 ? 0x80000000u : i * 65521u;
        float value;
        std::memcpy(&value, &bits, sizeof(value));
        ASSERT_TRUE(!std::isfinite(value) || ReadsBackAs(host::FormatFloat(value), value))
            << host::FormatFloat(value);
    }
    EXPECT_EQ(host::FormatFloat(4.88f), "4.88");  // the shortest text, not nine digits
}

TEST(ProtocolText, RepliesAreReadStrictly) {
    using host::ReplyFault;
    struct Case {
        const char* reply;
        ReplyFault fault;
        float vx = 0.0f, vy = 0.0f;
        int curl = 0;
    } cases[] = {
        {"BESTSHOT 0.100000 -2.500000 1", ReplyFault::None, 0.1f, -2.5f, 1},
        {"  bestshot -0 -99.9 0 \r\n", ReplyFault::None, -0.0f, -99.9f, 0},
        {"", ReplyFault::Malformed},
        {"BESTSHOT 1 -2", ReplyFault::Malformed},
        {"BESTSHOT 1,5 -2 0", ReplyFault::Malformed},
        {"BESTSHOT 1 -2 0.5", ReplyFault::Malformed},
        {"BESTSHOTS 1 -2 0", ReplyFault::Malformed},
        {"BESTSHOT 1 -2 0BESTSHOT 1 -2 0", ReplyFault::Malformed},
        {"BESTSHOT nan -2 0", ReplyFault::NotFinite},
        {"BESTSHOT 1e39 -2 0", ReplyFault::NotFinite},  // beyond single precision
        {"BESTSHOT 80 -80 0", ReplyFault::TooFast},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << '"' << c.reply << '"');
        host::ParsedShot parsed = host::ParseBestShot(c.reply);
        EXPECT_EQ(parsed.fault, c.fault);
        EXPECT_EQ(parsed.why.empty(), c.fault == ReplyFault::None);
        if (c.fault == ReplyFault::None) {
            EXPECT_TRUE(std::memcmp(&parsed.shot.vx, &c.vx, 4) == 0 &&
                        std::memcmp(&parsed.shot.vy, &c.vy, 4) == 0);
            EXPECT_EQ(parsed.shot.curl, c.curl);
        }
    }
    for (auto [reply, ready] : {std::pair<const char*, bool>{"READYOK", true},
                                {"readyok\n", true},
                                {"READYOK READYOK", false},
                                {"READY", false}}) {
        EXPECT_EQ(host::IsReadyReply(reply), ready) << reply;
    }
    // A reply in pieces is whole once it can no longer grow into a reply; garbage is whole at once.
    for (auto [received, whole] : {std::pair<const char*, bool>{"BESTSH", false},
                                   {" bestshot 0.2 -3", false},
                                   {"READY", false},
                                   {"BESTSHOT 0.2 -31 0", true},
                                   {"BEST ", true},
                                   {"I would rather not", true}}) {
        EXPECT_EQ(host::ReplyComplete(received), whole) << received;
    }
    EXPECT_EQ(host::Printable(std::string("a\x01\n\xff", 4)), "a\\x01\\x0a\\xff");
    EXPECT_LT(host::Printable(std::string(500, 'z')).size(), 200u);  // cut to a sensible length
}

}  // namespace
