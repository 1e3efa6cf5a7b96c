#include "search/search.h"

#include "tests/search/recording_simulator.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

bool Same(const records::ShotTarget& a, const records::ShotTarget& b) {
    return std::memcmp(&a, &b, sizeof(records::ShotTarget)) == 0;
}

TEST(SearchTables, GridCellsCarryTheExactTargetsAndTheAnswersToThem) {
    search::Search search;
    EXPECT_EQ(searchtest::PrepareRecorded(search), "Generated 8982 candidates\nGenerated 10994 tests\n");
    const search::Tables& tables = search.GetTables();
    struct Case {
        bool test;
        int curl, row, column;
        float x, y;
    };
    // Corners and tee of both grids. Strong x: single product, double quotient and sum; draw x: double;
    // draw y: single throughout.
    const Case cases[] = {
        {false, 0, 0, 0, 0x1p-1f, -0x1.827efap+2f},
        {false, 1, 7, 355, 0x1.5970a4p+3f, -0x1.b84fep+5f},
        {false, 0, 100, 0, 0x1.f5c29p-2f, 0x1.351ebap+1f},
        {false, 1, 130, 52, 0x1.10a3d8p+2f, 0x1.b0f5c4p+2f},
        {false, 1, 117, 26, 2.375f, 4.88f},
        {true, 0, 0, 0, 0x1.3020c4p-2f, -0x1.827efap+2f},
        {true, 1, 7, 369, 0x1.5fef9cp+3f, -0x1.b84fep+5f},
        {true, 0, 94, 0, 0x1.170a4p-2f, 0x1.8b8524p+0f},
        {true, 1, 136, 58, 0x1.1e8f5cp+2f, 0x1.e8a3d8p+2f},
        {true, 0, 117, 29, 2.375f, 4.88f},
    };
    const std::vector<records::ShotTarget>& calls = searchtest::RecordedTargets();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << (c.test ? "test " : "candidate ") << c.curl << '/' << c.row << '/' << c.column);
        const records::ShotTarget& target = c.test ? tables.testTargets(c.curl, c.row, c.column)
                                                   : tables.candidateTargets(c.curl, c.row, c.column);
        EXPECT_TRUE(Same(target, records::MakeShotTarget(c.x, c.y, c.curl))) << target.x << ", " << target.y;
        // Call n answered (n, -n): the cell holds the answer to its own target.
        const records::ShotVector& shot = c.test ? tables.testShots(c.curl, c.row, c.column)
                                                 : tables.candidateShots(c.curl, c.row, c.column);
        std::size_t call = static_cast<std::size_t>(shot.vx);
        ASSERT_LT(call, calls.size());
        EXPECT_TRUE(Same(calls[call], target) && shot.vy == -shot.vx);
    }
}

}  // namespace
