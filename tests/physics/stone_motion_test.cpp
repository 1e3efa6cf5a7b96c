#include "physics/stone_motion.h"

#include "physics/simulate_shot.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using physics::StoneMotion;

TEST(FrictionStep, StopsSlowStonesAndTurnsOnlyWithSpin) {
    const float a = physics::SpeedLossPerStep;
    struct Case {
        const char* name;
        StoneMotion motion;
        bool stops;
        int sideSign;  // sign of vx after a step along -y
    };
    const std::vector<Case> cases = {
        {"speed equal to the loss", {0.0f, -a, 0.066696f}, true, 0},
        {"not a number", {std::nanf(""), -3.0f, 0.066696f}, true, 0},
        {"no spin keeps the line", {0.0f, -3.0f, 0.0f}, false, 0},
        {"tiny positive spin turns as much", {0.0f, -3.0f, 1e-20f}, false, +1},
        {"large negative spin turns as much", {0.0f, -3.0f, -40.0f}, false, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const StoneMotion next = physics::ApplyFrictionStep(c.motion, a);
        if (c.stops) {
            EXPECT_TRUE(next.vx == 0.0f && next.vy == 0.0f && next.spin == 0.0f);
            continue;
        }
        EXPECT_NEAR(std::sqrt(next.vx * next.vx + next.vy * next.vy), 3.0f - a, 1e-6f);
        EXPECT_EQ(next.spin, c.motion.spin);
        // The push is CurlCoefficient times the loss, at right angles to the travel.
        EXPECT_NEAR(next.vx, static_cast<float>(c.sideSign) * 0.066696f * a, 1e-7f);
    }
}

// The lone-stone shortcut, and the world the plain path steps, rest the draw at the known points.
TEST(LoneStone, DrawStopsAtTheKnownStepAndPoint) {
    struct Case {
        uint8_t curl;
        float restX;
    };
    for (const Case& c : {Case{0, 3.5885f}, Case{1, 1.1615f}, Case{7, 1.1615f}}) {
        SCOPED_TRACE(testing::Message() << "curl " << int{c.curl});
        const records::ShotVector shot{0.0f, -29.57f, c.curl, {}};
        const physics::LoneStoneRun run = physics::SlideLoneStone(shot);
        EXPECT_EQ(run.stopStep, 1477);
        EXPECT_NEAR(run.rest.x, c.restX, 1e-4f);
        EXPECT_NEAR(run.rest.y, 4.9159f, 1e-4f);
        records::GameState state{};
        ASSERT_TRUE(physics::SimulateShot(state, shot, physics::SimulationPath::Plain));
        EXPECT_TRUE(state.stones[0].x == run.rest.x && state.stones[0].y == run.rest.y);
    }
}

}  // namespace
