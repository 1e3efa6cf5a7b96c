#include "simulator/shot_inverse.h"

#include "physics/stone_motion.h"
#include "tests/simulator/grid_targets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <thread>
#include <vector>

namespace {

using simulator::ShotForTarget;

double RoundTripMiss(const ShotTarget& target) {
    const StonePosition rest = physics::LoneStoneRestingPoint(ShotForTarget(target));
    return std::hypot(static_cast<double>(rest.x) - target.x, static_cast<double>(rest.y) - target.y);
}

TEST(ShotInverse, EveryEngineGridCellRoundTripsWithinAMillimetre) {
    const std::vector<ShotTarget> targets = simulatortest::EngineGridTargets();
    ASSERT_EQ(targets.size(), 10994u);
    int misses = 0;
    double worst = 0.0;
    for (const ShotTarget& target : targets) {
        const double miss = RoundTripMiss(target);
        worst = std::max(worst, miss);
        if (!(miss < 1e-3) && ++misses <= 5) {
            ADD_FAILURE() << "target (" << target.x << ", " << target.y << ") curl " << int{target.curl}
                          << " missed by " << miss;
        }
    }
    EXPECT_EQ(misses, 0) << "worst miss " << worst;
}

TEST(ShotInverse, TargetsAwayFromTheGridsRoundTrip) {
    struct Case {
        float x;
        float y;
    };
    const std::vector<Case> cases = {
        {2.375f, 41.0f}, {2.375f, 38.0f},  {3.0f, 41.28f}, {2.375f, 50.0f}, {10.0f, 45.0f},
        {-20.0f, 41.0f}, {2.375f, 11.28f}, {0.3f, 20.0f},  {4.4f, 3.2f},    {2.375f, -65.0f},
    };
    for (const Case& c : cases) {
        for (int curl = 0; curl < 2; ++curl) {
            SCOPED_TRACE(testing::Message() << "target (" << c.x << ", " << c.y << ") curl " << curl);
            EXPECT_LT(RoundTripMiss(MakeShotTarget(c.x, c.y, curl)), 1e-3);
        }
    }
}

TEST(ShotInverse, DegenerateTargetsGetAStillStone) {
    struct Case {
        const char* name;
        float x;
        float y;
    };
    const std::vector<Case> cases = {
        {"the delivery point", 2.375f, 41.28f},
        {"not a number", NAN, 4.88f},
        {"infinitely far", 2.375f, -INFINITY},
    };
    for (const Case& c : cases) {
        for (uint8_t curl : {uint8_t{0}, uint8_t{1}}) {
            SCOPED_TRACE(testing::Message() << c.name << ", curl " << int{curl});
            const ShotVector shot = ShotForTarget(MakeShotTarget(c.x, c.y, curl));
            EXPECT_EQ(shot.vx, 0.0f);
            EXPECT_EQ(shot.vy, 0.0f);
            EXPECT_EQ(shot.curl, curl);
        }
    }
}

TEST(ShotInverse, TargetBeyondReachGetsTheFastestShotAlongItsLine) {
    const ShotTarget target = MakeShotTarget(2.375f, -400.0f, 0);
    const ShotVector shot = ShotForTarget(target);
    const StonePosition rest = physics::LoneStoneRestingPoint(shot);
    EXPECT_NEAR(rest.x, 2.375f, 0.01f);
    EXPECT_LT(rest.y, -60.0f);
    EXPECT_GT(rest.y, -400.0f);
}

// Runs in a process of its own under CTest, so the shared table is built while all threads ask.
TEST(ShotInverse, ConcurrentFirstCallsAgreeWithASequentialPass) {
    const std::vector<ShotTarget> all = simulatortest::EngineGridTargets();
    std::vector<ShotTarget> targets;
    for (std::size_t i = 0; i < all.size(); i += 37) {
        targets.push_back(all[i]);
    }
    constexpr int ThreadCount = 8;
    std::vector<std::vector<ShotVector>> shots(ThreadCount, std::vector<ShotVector>(targets.size()));
    std::atomic<int> ready{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < ThreadCount; ++t) {
        threads.emplace_back([&, t] {
            ready.fetch_add(1);
            while (ready.load() < ThreadCount) {
                std::this_thread::yield();
            }
            for (std::size_t i = 0; i < targets.size(); ++i) {
                shots[t][i] = ShotForTarget(targets[i]);
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (std::size_t i = 0; i < targets.size(); ++i) {
        const ShotVector expected = ShotForTarget(targets[i]);
        for (int t = 0; t < ThreadCount; ++t) {
            SCOPED_TRACE(testing::Message() << "thread " << t << ", target " << i);
            EXPECT_EQ(std::memcmp(&shots[t][i], &expected, 9), 0);
        }
    }
}

}  // namespace
