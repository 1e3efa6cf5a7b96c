#include "physics/stone_motion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using physics::ApplyFrictionStep;
using physics::SpeedLossPerStep;
using physics::StoneMotion;

float Speed(const StoneMotion& motion) {
    return std::sqrt(motion.vx * motion.vx + motion.vy * motion.vy);
}

TEST(FrictionStep, StopsAtOrBelowTheSpeedLossAndDropsTheSpin) {
    const float a = SpeedLossPerStep;
    struct Case {
        const char* name;
        StoneMotion motion;
    };
    const std::vector<Case> cases = {
        {"speed equal to the loss", {0.0f, -a, 0.066696f}},
        {"speed equal to the loss, sideways", {a, 0.0f, -0.066696f}},
        {"speed below the loss", {0.3f * a, -0.4f * a, 0.066696f}},
        {"at rest with spin", {0.0f, 0.0f, 0.5f}},
        {"not a number", {std::nanf(""), -3.0f, 0.066696f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const StoneMotion next = ApplyFrictionStep(c.motion, a);
        EXPECT_EQ(next.vx, 0.0f);
        EXPECT_EQ(next.vy, 0.0f);
        EXPECT_EQ(next.spin, 0.0f);
    }
}

TEST(FrictionStep, SlowsByTheLossAndTurnsOnlyWithSpin) {
    const float a = SpeedLossPerStep;
    struct Case {
        const char* name;
        float spin;
        int expectedSideSign;  // sign of vx after a step along -y
    };
    const std::vector<Case> cases = {
        {"no spin keeps the line", 0.0f, 0},
        {"positive spin turns counter-clockwise", 0.066696f, +1},
        {"tiny positive spin turns as much", 1e-20f, +1},
        {"negative spin turns clockwise", -0.066696f, -1},
        {"large negative spin turns as much", -40.0f, -1},
    };
    const StoneMotion start{0.0f, -3.0f, 0.0f};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StoneMotion motion = start;
        motion.spin = c.spin;
        const StoneMotion next = ApplyFrictionStep(motion, a);
        EXPECT_NEAR(Speed(next), 3.0f - a, 1e-6f);
        EXPECT_EQ(next.spin, c.spin);
        if (c.expectedSideSign == 0) {
            EXPECT_EQ(next.vx, 0.0f);
        } else {
            // The push is CurlCoefficient times the loss, at right angles to the travel.
            EXPECT_NEAR(next.vx, c.expectedSideSign * 0.066696f * a, 1e-7f);
        }
    }
}

TEST(LoneStone, DrawStopsAtTheKnownStepAndPoint) {
    struct Case {
        uint8_t curl;
        float restX;
    };
    for (const Case& c : {Case{0, 3.5885f}, Case{1, 1.1615f}}) {
        SCOPED_TRACE(testing::Message() << "curl " << int{c.curl});
        const ShotVector shot{0.0f, -29.57f, c.curl, {}};
        const physics::LoneStoneRun run = physics::SlideLoneStone(shot);
        EXPECT_EQ(run.stopStep, 1477);
        EXPECT_NEAR(run.rest.x, c.restX, 1e-4f);
        EXPECT_NEAR(run.rest.y, 4.9159f, 1e-4f);
        const StonePosition rest = physics::LoneStoneRestingPoint(shot);
        EXPECT_EQ(rest.x, run.rest.x);
        EXPECT_EQ(rest.y, run.rest.y);
    }
}

TEST(LoneStone, OppositeCurlsMirrorAboutTheCentreLine) {
    for (float vx : {-0.8f, 0.0f, 0.35f}) {
        for (float vy : {-26.0f, -31.0f, -45.0f}) {
            SCOPED_TRACE(testing::Message() << "shot " << vx << ", " << vy);
            const StonePosition left = physics::LoneStoneRestingPoint(ShotVector{vx, vy, 0, {}});
            const StonePosition right = physics::LoneStoneRestingPoint(ShotVector{-vx, vy, 1, {}});
            EXPECT_NEAR(left.x - 2.375f, 2.375f - right.x, 1e-3f);
            EXPECT_NEAR(left.y, right.y, 1e-3f);
        }
    }
}

TEST(LoneStone, VelocitiesWithoutAFiniteSpeedStayAtTheDeliveryPoint) {
    for (float vy : {INFINITY, -INFINITY, NAN, -1e30f, 2e19f}) {
        SCOPED_TRACE(testing::Message() << "vy " << vy);
        const physics::LoneStoneRun run = physics::SlideLoneStone(ShotVector{0.0f, vy, 0, {}});
        EXPECT_EQ(run.stopStep, 0);
        EXPECT_EQ(run.rest.x, 2.375f);
        EXPECT_EQ(run.rest.y, 41.28f);
    }
}

TEST(LoneStone, FasterThanTheWorldMovesStillComesToRest) {
    const physics::LoneStoneRun run = physics::SlideLoneStone(ShotVector{0.0f, -1e6f, 0, {}});
    // The world moves a body at most 2 m per step and slows it to match, so the stone slides from
    // 1200 m/s: about 60 km, not the 4e10 m that 1e6 m/s would give.
    EXPECT_NEAR(run.rest.y, -60000.0f, 1000.0f);
    EXPECT_NEAR(run.stopStep, 60000, 100);
}

}  // namespace
