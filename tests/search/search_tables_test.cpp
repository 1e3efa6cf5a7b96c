#include "search/search_tables.h"

#include "tests/search/recording_simulator.h"

#include <gtest/gtest.h>

#include <cstring>
#include <numeric>
#include <string>
#include <vector>

namespace {

using searchtest::RecordedTargets;
using searchtest::RecordingCreateShot;

std::string PrepareAndCaptureLog(CreateShotFunction createShot) {
    RecordedTargets().clear();
    testing::internal::CaptureStderr();
    search::PrepareSearch(createShot);
    return testing::internal::GetCapturedStderr();
}

bool SameBits(float a, float b) {
    return std::memcmp(&a, &b, sizeof(a)) == 0;
}

TEST(SearchTables, GridCellsCarryTheExactTargetFloats) {
    PrepareAndCaptureLog(RecordingCreateShot);
    struct Case {
        const char* name;
        bool test;
        int curl, row, column;
        float x, y;
    };
    // Strong x: single product, double quotient and sum; draw x: double; draw y: single throughout.
    const Case cases[] = {
        {"candidate strong first", false, 0, 0, 0, 0x1p-1f, -0x1.827efap+2f},
        {"candidate strong row end", false, 0, 0, 355, 0x1.5970a4p+3f, -0x1.827efap+2f},
        {"candidate strong last", false, 1, 7, 355, 0x1.5970a4p+3f, -0x1.b84fep+5f},
        {"candidate draw first", false, 0, 100, 0, 0x1.f5c29p-2f, 0x1.351ebap+1f},
        {"candidate draw last", false, 1, 130, 52, 0x1.10a3d8p+2f, 0x1.b0f5c4p+2f},
        {"candidate tee", false, 1, 117, 26, 2.375f, 4.88f},
        {"test strong first", true, 0, 0, 0, 0x1.3020c4p-2f, -0x1.827efap+2f},
        {"test strong last", true, 1, 7, 369, 0x1.5fef9cp+3f, -0x1.b84fep+5f},
        {"test draw first", true, 0, 94, 0, 0x1.170a4p-2f, 0x1.8b8524p+0f},
        {"test draw last", true, 1, 136, 58, 0x1.1e8f5cp+2f, 0x1.e8a3d8p+2f},
        {"test tee", true, 0, 117, 29, 2.375f, 4.88f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ShotTarget& target = c.test ? search::TestTargets(c.curl, c.row, c.column)
                                          : search::CandidateTargets(c.curl, c.row, c.column);
        EXPECT_TRUE(SameBits(target.x, c.x)) << target.x << " vs " << c.x;
        EXPECT_TRUE(SameBits(target.y, c.y)) << target.y << " vs " << c.y;
        EXPECT_EQ(target.curl, c.curl);
    }
}

TEST(SearchTables, CallsCreateShotOncePerCellInGridOrderAndKeepsEachAnswer) {
    std::string log = PrepareAndCaptureLog(RecordingCreateShot);
    EXPECT_EQ(log, "Generated 8982 candidates\nGenerated 10994 tests\n");
    const std::vector<ShotTarget>& calls = RecordedTargets();
    ASSERT_EQ(calls.size(), 19976u);

    // The four blocks: candidates curl 0 and 1, then tests curl 0 and 1.
    const int blockEnds[] = {4491, 8982, 8982 + 5497, 19976};
    int block = 0;
    for (int i = 0; i < static_cast<int>(calls.size()); ++i) {
        block += i == blockEnds[block];
        uint32_t curlWord;
        std::memcpy(&curlWord, reinterpret_cast<const char*>(&calls[i]) + 8, 4);
        ASSERT_EQ(curlWord, static_cast<uint32_t>(block % 2)) << "call " << i;
    }
    // Within a strong row x grows; rows step 7 m down the sheet; the draw grid follows the strong rows.
    EXPECT_LT(calls[0].x, calls[1].x);
    EXPECT_FLOAT_EQ(calls[356].y - calls[0].y, -7.0f);
    EXPECT_EQ(calls[2848].y, search::CandidateTargets(0, 100, 0).y);

    // Each cell holds the shot of the call that got its own target.
    auto check = [&](const auto& targets, const auto& shots, int curl, int row, int column) {
        int call = static_cast<int>(shots(curl, row, column).vx);
        ASSERT_GE(call, 0);
        ASSERT_LT(call, 19976);
        EXPECT_EQ(std::memcmp(&calls[call], &targets(curl, row, column), sizeof(ShotTarget)), 0);
        EXPECT_EQ(shots(curl, row, column).vy, -static_cast<float>(call));
    };
    for (int curl = 0; curl < 2; ++curl) {
        check(search::CandidateTargets, search::CandidateShots, curl, 3, 200);
        check(search::CandidateTargets, search::CandidateShots, curl, 130, 52);
        check(search::TestTargets, search::TestShots, curl, 0, 369);
        check(search::TestTargets, search::TestShots, curl, 94, 0);
    }
}

TEST(SearchTables, EveryCandidateWindowLiesInsideTheTestGridAroundItsOwnTarget) {
    PrepareAndCaptureLog(RecordingCreateShot);
    using Tests = search::TestTable<double>;
    int candidates = 0;
    for (int curl = 0; curl < 2; ++curl) {
        for (int row = 0; row < 8; ++row) {
            for (int column = 0; column < 356; ++column, ++candidates) {
                ASSERT_TRUE(Tests::Contains(curl, row, column) && Tests::Contains(curl, row, column + 14));
                ASSERT_EQ(std::memcmp(&search::CandidateTargets(curl, row, column),
                                      &search::TestTargets(curl, row, column + 7), sizeof(ShotTarget)),
                          0);
            }
        }
        for (int row = 100; row <= 130; ++row) {
            for (int column = 0; column < 53; ++column, ++candidates) {
                ASSERT_TRUE(Tests::Contains(curl, row - 6, column) &&
                            Tests::Contains(curl, row + 6, column + 6));
                ASSERT_EQ(std::memcmp(&search::CandidateTargets(curl, row, column),
                                      &search::TestTargets(curl, row, column + 3), sizeof(ShotTarget)),
                          0);
            }
        }
    }
    EXPECT_EQ(candidates, 8982);
}

TEST(SearchTables, KernelsAreSymmetricAndSumToJustUnderOne) {
    PrepareAndCaptureLog(RecordingCreateShot);
    const double* strong = search::StrongKernel;
    EXPECT_NEAR(std::accumulate(strong, strong + 15, 0.0), 0.997299, 1e-9);
    double drawSum = 0.0;
    for (int i = 0; i < 13; ++i) {
        for (int j = 0; j < 7; ++j) {
            drawSum += search::DrawKernel[i][j];
            EXPECT_EQ(search::DrawKernel[i][j], search::DrawKernel[12 - i][6 - j]);
        }
    }
    EXPECT_NEAR(drawSum, 0.998385, 1e-6);
    for (int k = 0; k < 15; ++k) {
        EXPECT_EQ(strong[k], strong[14 - k]);
    }
    EXPECT_EQ(search::DrawKernel[6][3], 0.197413 * 0.382925);
}

TEST(SearchTables, WithoutCreateShotTheShotsStayZero) {
    PrepareAndCaptureLog(RecordingCreateShot);
    std::string log = PrepareAndCaptureLog(nullptr);
    EXPECT_NE(log.find("no CreateShot"), std::string::npos);
    EXPECT_NE(log.find("Generated 8982 candidates\nGenerated 10994 tests\n"), std::string::npos);
    EXPECT_EQ(search::CandidateShots(1, 130, 52).vx, 0.0f);
    EXPECT_EQ(search::TestShots(0, 0, 0).curl, 0);
    EXPECT_EQ(search::CandidateTargets(1, 117, 26).x, 2.375f);
}

}  // namespace
