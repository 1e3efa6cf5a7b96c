#include "engine/command_loop.h"

#include "engine/input_checks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <string>

namespace {

struct EngineUnderTest {
    engine::Engine engine;
    engine::InputFramer framer;
    std::string replies;

    EngineUnderTest() {
        engine.writeReply = [this](const char* bytes, std::size_t size) { replies.append(bytes, size); };
    }
    // Feeds the bytes as what one read delivered.
    void Read(const std::string& bytes, bool full = false) {
        engine::HandleInput(engine, framer, bytes.data(), bytes.size(), full);
    }
    const records::GameState& state() const { return engine.state; }
};

TEST(ExtractToken, SplitsOnRunsOfSpacesOnly) {
    struct Case {
        const char* line;
        int index;
        bool found;
        const char* token;
    } cases[] = {
        {"", 0, true, ""},      {"   ", 1, false, ""},           {"  GO  ", 0, true, "GO"},
        {"GO", 1, false, ""},   {"GO  ", 1, true, ""},  // trailing spaces leave one empty token
        {"GO  ", 2, false, ""}, {"SCORE  -2   x", 2, true, "x"}, {"a\tb c", 0, true, "a\tb"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << '"' << c.line << "\" token " << c.index);
        std::string token = "stale";
        EXPECT_EQ(engine::ExtractToken(token, c.line, c.index), c.found);
        if (c.found) {
            EXPECT_EQ(token, c.token);
        }
    }
}

TEST(SetState, ConvertsLikeAtoiAndStopsAtAMissingArgument) {
    struct Case {
        const char* line;  // applied in turn to one engine
        int shot, end, arg3;
        bool flag;
    } cases[] = {
        {"SETSTATE   3  1    10   0  ", 3, 1, 10, false},
        {"SETSTATE 0 0 0 1.9", 0, 0, 0, true},
        {"SETSTATE 4 5 6", 4, 5, 6, true},  // no fourth argument: the flag keeps its value
        {"SETSTATE 0 0 0 x", 0, 0, 0, false},
        {"SETSTATE 12abc -3 junk 01", 12, -3, 0, true},
        {"SETSTATE 99999999999999 -99999999999999", INT_MAX, INT_MIN, 0, true},  // saturates
        {"SeTsTaTe 7 0 0 0", 7, 0, 0, false},  // the command word in any case, but whole
        {"SETSTATES 8 1 1 1", 7, 0, 0, false},
        {"SETSTATE\t8 1 1 1", 7, 0, 0, false},
    };
    EngineUnderTest e;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        e.Read(std::string(c.line) + "\n");
        EXPECT_EQ(e.state().shotNumber, c.shot);
        EXPECT_EQ(e.state().currentEnd, c.end);
        EXPECT_EQ(e.state().setStateArg3, c.arg3);
        EXPECT_EQ(e.state().turnFlag, c.flag);
    }
    EXPECT_EQ(e.replies, "");
}

TEST(Position, StoresEachCoordinateAsItIsConverted) {
    EngineUnderTest e;
    std::string full = "POSITION";
    for (int i = 0; i < 32; ++i) {
        full += " " + std::to_string(i) + ".1";
    }
    e.Read(full + "\n");
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(e.state().stones[i].x, static_cast<float>(2 * i + 0.1));
        EXPECT_EQ(e.state().stones[i].y, static_cast<float>(2 * i + 1.1));
    }

    e.Read("position 1 2 3\n");
    EXPECT_EQ(e.state().stones[0].x, 1.0f);
    EXPECT_EQ(e.state().stones[0].y, 2.0f);
    EXPECT_EQ(e.state().stones[1].x, 3.0f);
    EXPECT_EQ(e.state().stones[1].y, 3.1f);  // untouched from before
    EXPECT_EQ(e.state().stones[15].y, 31.1f);

    EXPECT_EQ(e.replies, "");
}

TEST(Score, WritesTheSlotOfTheCurrentEndOnly) {
    EngineUnderTest e;
    e.Read("SCORE\n");
    e.Read("SETSTATE 0 3 0 0\n");
    e.Read("SCORE -2\n");
    EXPECT_EQ(e.state().endScores[3], -2);
    e.Read("SCORE \n");  // one empty argument converts to 0
    EXPECT_EQ(e.state().endScores[3], 0);
    e.Read("SCORE 4 9\n");
    EXPECT_EQ(e.state().endScores[3], 4);

    records::GameState before = e.state();
    for (const char* end : {"10", "-1", "2147483647"}) {
        SCOPED_TRACE(end);
        e.Read(std::string("SETSTATE 0 ") + end + " 0 0\n");
        before.currentEnd = e.state().currentEnd;
        e.Read("SCORE 5\n");
        EXPECT_EQ(std::memcmp(&before, &e.state(), sizeof(records::GameState)), 0);
    }
}

TEST(Framing, EveryLineOfAReadIsHandledInOrder) {
    EngineUnderTest e;
    e.Read("SETSTATE 0 1 0 0\r\nSCORE 3\nSETSTATE 0 2 0 0\rSCORE 4\nPOSITION 5 6\nSETSTATE 9 2 3 1");
    EXPECT_EQ(e.state().endScores[1], 3);
    EXPECT_EQ(e.state().endScores[2], 4);
    EXPECT_EQ(e.state().stones[0].y, 6.0f);
    EXPECT_EQ(e.state().shotNumber, 9);  // a last line without a line end is a command too

    const char zero[] = "SETSTATE 6\0 7 8 1\nSCORE 2\n";  // a zero byte ends the line
    e.Read(std::string(zero, sizeof(zero) - 1));
    EXPECT_EQ(e.state().shotNumber, 6);
    EXPECT_EQ(e.state().currentEnd, 2);  // unchanged: the line ended before its argument
    EXPECT_EQ(e.state().endScores[2], 2);

    e.Read("SETSTATE 1 0 0 0\nSETSTA", true);  // a full read is continued by the next one
    EXPECT_EQ(e.state().shotNumber, 1);
    e.Read("TE 8 0 0 0");
    EXPECT_EQ(e.state().shotNumber, 8);
}

TEST(Framing, LongLinesAreHandledWholeAndOverlongOnesDropped) {
    EngineUnderTest e;
    // 40 KiB of padding between the arguments, delivered in reads of 16 KiB.
    std::string line = "POSITION" + std::string(40000, ' ') + "1.5" + std::string(20000, ' ') + "2.5\n";
    for (std::size_t at = 0; at < line.size(); at += 16384) {
        std::string chunk = line.substr(at, 16384);
        e.Read(chunk, chunk.size() == 16384);
    }
    EXPECT_EQ(e.state().stones[0].x, 1.5f);
    EXPECT_EQ(e.state().stones[0].y, 2.5f);

    std::string huge = "SETSTATE 5 0 0 0" + std::string(engine::MaxLineLength, ' ');
    for (std::size_t at = 0; at < huge.size(); at += engine::ReadChunkSize) {
        e.Read(huge.substr(at, engine::ReadChunkSize), true);
    }
    e.Read(" 9 9 9\nSETSTATE 3 0 0 0\n");
    EXPECT_EQ(e.state().shotNumber, 3);
}

// Input a host may send but should not: each is named on the log, and the search still answers.
TEST(InputNotes, NameWhatTheSearchCannotMakeMuchOf) {
    const float nan = std::nanf("");
    struct Case {
        int shotNumber;
        records::StonePosition stones[3];
        bool prepared;
        const char* note;  // "" for none
    } cases[] = {
        {3, {{2.375f, 4.88f}, {2.0f, 5.0f}, {0.0f, 0.0f}}, true, ""},
        {3, {{2.375f, 4.88f}, {2.0f, 5.0f}, {0.0f, 0.0f}}, false, "GO before any ISREADY"},
        {16, {}, true, "outside 0..15"},
        {-1, {}, true, "outside 0..15"},
        {3, {{1.0f, nan}, {0.0f, 0.0f}, {0.0f, 0.0f}}, true, "stone 0 has no finite position"},
        {3, {{2.0f, 5.0f}, {0.0f, 0.0f}, {2.0f, 5.0f}}, true, "stones 0 and 2 lie on one spot"},
        {2, {{2.0f, 5.0f}, {0.0f, 0.0f}, {2.0f, 5.0f}}, true, ""},  // stone 2 is not delivered yet
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.note);
        records::GameState state{};
        state.shotNumber = c.shotNumber;
        std::copy(c.stones, c.stones + 3, state.stones);
        std::string notes;
        for (const std::string& note : engine::InputNotes(state, c.prepared)) {
            notes += note + "\n";
        }
        EXPECT_TRUE(*c.note == '\0' ? notes.empty() : notes.find(c.note) != std::string::npos) << notes;
    }
}

}  // namespace
