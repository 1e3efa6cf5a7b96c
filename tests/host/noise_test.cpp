#include "host/noise.h"

#include "tests/host/fixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

// Across the sheet and along it, each with its own spread, scaled: swapped deviations show here.
TEST(ExecutionNoise, DrawsWithTheSetSpreads) {
    double squares[2] = {0, 0};
    for (int shot = 0; shot < 20000; ++shot) {
        const host::NoiseOffset offset = host::DrawNoise(7, 1 + shot / 176, shot % 176, 2.0);
        squares[0] += offset.x * offset.x / 20000;
        squares[1] += offset.y * offset.y / 20000;
    }
    EXPECT_NEAR(std::sqrt(squares[0]) / (2.0 * host::NoiseAcross), 1.0, 0.03);
    EXPECT_NEAR(std::sqrt(squares[1]) / (2.0 * host::NoiseAlong), 1.0, 0.03);
}

TEST(ExecutionNoise, FollowsSeedGameAndShotOnly) {
    host::NoiseOffset base = host::DrawNoise(11, 2, 37, 1.0), again = host::DrawNoise(11, 2, 37, 1.0);
    EXPECT_TRUE(base.x == again.x && base.y == again.y);
    for (host::NoiseOffset other :
         {host::DrawNoise(12, 2, 37, 1.0), host::DrawNoise(11, 3, 37, 1.0), host::DrawNoise(11, 2, 38, 1.0),
          host::DrawNoise(11 + (1ull << 32), 2, 37, 1.0)}) {
        EXPECT_TRUE(other.x != base.x && other.y != base.y) << other.x << ' ' << other.y;
    }
}

TEST(ExecutionNoise, MovesTheRestingPointKeepsTheCurlAndZeroPlaysTheSentShotExactly) {
    host::SheetModel sheet = hosttest::ScriptedSheet();  // a shot (vx, vy) rests at (vx, vy)
    const records::ShotVector sent{1.5f, 5.25f, 1, {}};
    host::NoiseOffset offset = host::DrawNoise(3, 1, 4, 1.0);
    host::Delivery delivery = host::Deliver(sheet, sent, offset, 1.0);
    EXPECT_TRUE(delivery.aimed.x == sent.vx && delivery.aimed.y == sent.vy);
    EXPECT_TRUE(delivery.played.vx == static_cast<float>(sent.vx + offset.x) &&
                delivery.played.vy == static_cast<float>(sent.vy + offset.y) && delivery.played.curl == 1);

    // With noise 0 the shot must not go through an inexact round trip of the simulator library.
    sheet.shotForTarget = [](const records::ShotTarget& target) {
        return records::ShotVector{target.x + 0.001f, target.y, 0, {}};
    };
    offset = host::DrawNoise(1, 1, 0, 0.0);
    EXPECT_TRUE(offset.x == 0.0 && offset.y == 0.0);
    for (const records::ShotVector& exact : {sent, records::ShotVector{-0.0f, -29.57f, 0, {}}}) {
        delivery = host::Deliver(sheet, exact, offset, 0.0);
        EXPECT_EQ(std::memcmp(&delivery.played, &exact, 9), 0);  // vx, vy, curl bit for bit
    }
}

}  // namespace
