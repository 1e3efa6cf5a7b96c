#include "simulator/shot_inverse.h"

#include "physics/stone_motion.h"
#include "search/grid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using simulator::ShotForTarget;

// Every cell of the engine's grids (strong rows aimed past the far end of the sheet, the draw grid
// around the house), then targets away from them: a few metres to 110 m from the delivery point, down
// the sheet and far to either side.
std::vector<records::ShotTarget> Targets() {
    std::vector<records::ShotTarget> targets;
    for (const search::GridShape* grid : {&search::CandidateGrid, &search::TestGrid}) {
        search::ForEachCell(*grid, [&](int curl, int row, int column) {
            targets.push_back(search::CellTarget(*grid, curl, row, column));
        });
    }
    const float away[][2] = {{2.375f, 38.0f}, {3.0f, 41.28f}, {2.375f, 50.0f}, {10.0f, 45.0f},
                             {-20.0f, 41.0f}, {0.3f, 20.0f},  {2.375f, -65.0f}};
    for (uint8_t curl : {uint8_t{0}, uint8_t{1}}) {
        for (auto [x, y] : away) {
            targets.push_back(records::MakeShotTarget(x, y, curl));
        }
    }
    return targets;
}

TEST(ShotInverse, TargetsRoundTripWithinAMillimetre) {
    int misses = 0;
    for (const records::ShotTarget& target : Targets()) {
        const records::StonePosition rest = physics::LoneStoneRestingPoint(ShotForTarget(target));
        double miss =
            std::hypot(static_cast<double>(rest.x) - target.x, static_cast<double>(rest.y) - target.y);
        if (!(miss < 1e-3) && ++misses <= 5) {
            ADD_FAILURE() << "target (" << target.x << ", " << target.y << ") curl " << int{target.curl}
                          << " missed by " << miss;
        }
    }
    EXPECT_EQ(misses, 0);
}

TEST(ShotInverse, DegenerateOrUnreachableTargetsGetAStillOrTheFastestStone) {
    for (uint8_t curl : {uint8_t{0}, uint8_t{1}}) {
        // The delivery point itself, not a number, infinitely far: a stone that stays.
        for (auto [x, y] : {std::pair{2.375f, 41.28f}, {NAN, 4.88f}, {2.375f, -INFINITY}}) {
            const records::ShotVector shot = ShotForTarget(records::MakeShotTarget(x, y, curl));
            EXPECT_TRUE(shot.vx == 0.0f && shot.vy == 0.0f && shot.curl == curl) << x << ", " << y;
        }
        // Beyond reach: the fastest shot along the line to it.
        const records::StonePosition rest =
            physics::LoneStoneRestingPoint(ShotForTarget(records::MakeShotTarget(2.375f, -400.0f, curl)));
        EXPECT_NEAR(rest.x, 2.375f, 0.01f);
        EXPECT_TRUE(rest.y < -60.0f && rest.y > -400.0f) << rest.y;
    }
}

}  // namespace
