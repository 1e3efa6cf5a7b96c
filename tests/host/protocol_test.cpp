#include "host/protocol.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <sstream>

namespace {

// The engine reads numbers as atof does and rounds them to single precision.
float AsEngineReads(const std::string& text) {
    return static_cast<float>(std::atof(text.c_str()));
}

bool SameFloat(float a, float b) {
    return std::memcmp(&a, &b, sizeof(float)) == 0;
}

TEST(ProtocolText, FloatsReadBackBitForBit) {
    std::vector<float> values = {0.0f,           -0.0f,   2.375f, 4.88f,      41.28f,          11.134999f,
                                 0.1f,           -29.57f, 1e-7f,  1e-45f,     1.17549435e-38f, 3.4028235e38f,
                                 -3.4028235e38f, 0.145f,  4.605f, 16777217.0f};
    std::mt19937 bits(12345);
    while (values.size() < 20000) {
        uint32_t pattern = bits();
        float value;
        std::memcpy(&value, &pattern, sizeof(value));
        if (std::isfinite(value)) {
            values.push_back(value);
        }
    }
    for (float value : values) {
        std::string text = host::FormatFloat(value);
        ASSERT_TRUE(SameFloat(AsEngineReads(text), value)) << text;
    }
    EXPECT_EQ(host::FormatFloat(4.88f), "4.88");
    EXPECT_EQ(host::FormatFloat(0.0f), "0");
}

TEST(ProtocolText, PositionCarriesAllSixteenStonesInOneLine) {
    GameState state{};
    for (int i = 0; i < StoneCount; ++i) {
        state.stones[i] =
            StonePosition{0.3f + 0.271f * static_cast<float>(i), 4.88f - 0.0137f * static_cast<float>(i)};
    }
    std::string line = host::PositionCommand(state);
    ASSERT_EQ(line.back(), '\n');
    EXPECT_EQ(line.find('\n'), line.size() - 1);
    std::istringstream words(line);
    std::string word;
    words >> word;
    EXPECT_EQ(word, "POSITION");
    for (int i = 0; i < StoneCount; ++i) {
        std::string x, y;
        words >> x >> y;
        EXPECT_TRUE(SameFloat(AsEngineReads(x), state.stones[i].x)) << i;
        EXPECT_TRUE(SameFloat(AsEngineReads(y), state.stones[i].y)) << i;
    }
    EXPECT_FALSE(words >> word);
}

TEST(ProtocolText, BestShotRepliesAreReadStrictly) {
    using host::ReplyFault;
    struct Case {
        const char* reply;
        ReplyFault fault;
        float vx = 0.0f, vy = 0.0f;
        int curl = 0;
    } cases[] = {
        {"BESTSHOT 0.100000 -2.500000 1", ReplyFault::None, 0.1f, -2.5f, 1},
        {"bestshot 1 -2 0", ReplyFault::None, 1.0f, -2.0f, 0},
        {"  BESTSHOT 1 -2 0 \r\n", ReplyFault::None, 1.0f, -2.0f, 0},
        {"BESTSHOT -0.000000 -29.570000 0", ReplyFault::None, -0.0f, -29.57f, 0},
        {"", ReplyFault::Malformed},
        {"READYOK", ReplyFault::Malformed},
        {"BESTSHOT 1 -2", ReplyFault::Malformed},
        {"BESTSHOT 1 -2 0 7", ReplyFault::Malformed},
        {"BESTSHOT 1,5 -2 0", ReplyFault::Malformed},
        {"BESTSHOT 1 -2x 0", ReplyFault::Malformed},
        {"BESTSHOT 1 -2 2", ReplyFault::Malformed},
        {"BESTSHOT 1 -2 0.5", ReplyFault::Malformed},
        {"BESTSHOT 1 -2 -1", ReplyFault::Malformed},
        {"BESTSHOTS 1 -2 0", ReplyFault::Malformed},
        {"BESTSHOT 1 -2 0BESTSHOT 1 -2 0", ReplyFault::Malformed},
        {"BESTSHOT nan -2 0", ReplyFault::NotFinite},
        {"BESTSHOT 1 -inf 0", ReplyFault::NotFinite},
        {"BESTSHOT 1 INFINITY 1", ReplyFault::NotFinite},
        {"BESTSHOT 1e39 -2 0", ReplyFault::NotFinite},  // beyond single precision
        {"BESTSHOT 80 -80 0", ReplyFault::TooFast},
        {"BESTSHOT 0 -99.9 1", ReplyFault::None, 0.0f, -99.9f, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << '"' << c.reply << '"');
        host::ParsedShot parsed = host::ParseBestShot(c.reply);
        EXPECT_EQ(parsed.fault, c.fault);
        if (c.fault == ReplyFault::None) {
            EXPECT_TRUE(SameFloat(parsed.shot.vx, c.vx));
            EXPECT_TRUE(SameFloat(parsed.shot.vy, c.vy));
            EXPECT_EQ(parsed.shot.curl, c.curl);
        } else {
            EXPECT_FALSE(parsed.why.empty());
        }
    }
}

TEST(ProtocolText, ReadyReplyAndPrintableReplies) {
    EXPECT_TRUE(host::IsReadyReply("READYOK"));
    EXPECT_TRUE(host::IsReadyReply("readyok\n"));
    EXPECT_FALSE(host::IsReadyReply("READYOK READYOK"));
    EXPECT_FALSE(host::IsReadyReply("READY"));
    EXPECT_FALSE(host::IsReadyReply(""));
    EXPECT_EQ(host::Printable(std::string("a\x01\n\xff", 4)), "a\\x01\\x0a\\xff");
    EXPECT_EQ(host::Printable(std::string(500, 'z')).size(), 123u);
}

}  // namespace
