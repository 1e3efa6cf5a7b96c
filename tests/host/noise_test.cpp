#include "host/noise.h"

#include "tests/host/scripted_sheet.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

bool SameBits(const ShotVector& a, const ShotVector& b) {
    return std::memcmp(&a, &b, 9) == 0;  // vx, vy, curl
}

TEST(ExecutionNoise, DrawsIndependentNormalsWithTheSetSpreads) {
    constexpr int Draws = 40000;
    double sum[2] = {0, 0}, squares[2] = {0, 0}, product = 0;
    int withinOneSigma[2] = {0, 0};
    for (int shot = 0; shot < Draws; ++shot) {
        host::NoiseOffset offset = host::DrawNoise(7, 1 + shot / 176, shot % 176, 1.0);
        double values[2] = {offset.x, offset.y};
        double sigmas[2] = {host::NoiseAcross, host::NoiseAlong};
        for (int axis = 0; axis < 2; ++axis) {
            sum[axis] += values[axis];
            squares[axis] += values[axis] * values[axis];
            withinOneSigma[axis] += std::fabs(values[axis]) < sigmas[axis] ? 1 : 0;
        }
        product += offset.x * offset.y;
    }
    double sigmas[2] = {host::NoiseAcross, host::NoiseAlong};
    for (int axis = 0; axis < 2; ++axis) {
        SCOPED_TRACE(axis == 0 ? "across" : "along");
        double mean = sum[axis] / Draws;
        double deviation = std::sqrt(squares[axis] / Draws - mean * mean);
        EXPECT_LT(std::fabs(mean), 4.0 * sigmas[axis] / std::sqrt(Draws));
        EXPECT_NEAR(deviation / sigmas[axis], 1.0, 0.02);
        EXPECT_NEAR(static_cast<double>(withinOneSigma[axis]) / Draws, 0.6827, 0.01);
    }
    double correlation = (product / Draws) / (std::sqrt(squares[0] / Draws) * std::sqrt(squares[1] / Draws));
    EXPECT_LT(std::fabs(correlation), 0.02);
}

TEST(ExecutionNoise, FollowsSeedGameAndShotOnly) {
    host::NoiseOffset base = host::DrawNoise(11, 2, 37, 1.0);
    host::NoiseOffset again = host::DrawNoise(11, 2, 37, 1.0);
    EXPECT_EQ(base.x, again.x);
    EXPECT_EQ(base.y, again.y);
    struct Case {
        unsigned long long seed;
        int game, shot;
    } others[] = {{12, 2, 37}, {11, 3, 37}, {11, 2, 38}, {11ull + (1ull << 32), 2, 37}};
    for (const Case& c : others) {
        SCOPED_TRACE(testing::Message() << c.seed << ' ' << c.game << ' ' << c.shot);
        host::NoiseOffset other = host::DrawNoise(c.seed, c.game, c.shot, 1.0);
        EXPECT_NE(other.x, base.x);
        EXPECT_NE(other.y, base.y);
    }
}

TEST(ExecutionNoise, MovesTheRestingPointAndKeepsTheCurl) {
    host::SheetModel sheet = hosttest::ScriptedSheet();  // a shot (vx, vy) rests at (vx, vy)
    for (int curl : {0, 1}) {
        ShotVector sent{1.5f, 5.25f, static_cast<uint8_t>(curl), {}};
        host::NoiseOffset offset = host::DrawNoise(3, 1, 4, 1.0);
        host::Delivery delivery = host::Deliver(sheet, sent, offset, 1.0);
        EXPECT_EQ(delivery.aimed.x, 1.5f);
        EXPECT_EQ(delivery.aimed.y, 5.25f);
        EXPECT_EQ(delivery.moved.x, static_cast<float>(1.5 + offset.x));
        EXPECT_EQ(delivery.moved.y, static_cast<float>(5.25 + offset.y));
        EXPECT_EQ(delivery.played.vx, delivery.moved.x);
        EXPECT_EQ(delivery.played.vy, delivery.moved.y);
        EXPECT_EQ(delivery.played.curl, curl);
    }
}

// A simulator library whose round trip is not exact: with noise 0 the shot must not go through it.
ShotVector InexactShotForTarget(const ShotTarget& target) {
    ShotVector shot{};
    shot.vx = target.x + 0.001f;
    shot.vy = target.y;
    shot.curl = 1 - target.curl;
    return shot;
}

TEST(ExecutionNoise, ZeroNoisePlaysTheSentShotExactly) {
    host::SheetModel sheet = hosttest::ScriptedSheet();
    sheet.shotForTarget = InexactShotForTarget;
    ShotVector sents[] = {{0.1f, -2.5f, 1, {}}, {-0.0f, -29.57f, 0, {}}, {1e-30f, 3.0f, 1, {}}};
    for (const ShotVector& sent : sents) {
        host::NoiseOffset offset = host::DrawNoise(1, 1, 0, 0.0);
        EXPECT_EQ(offset.x, 0.0);
        EXPECT_EQ(offset.y, 0.0);
        host::Delivery delivery = host::Deliver(sheet, sent, offset, 0.0);
        EXPECT_TRUE(SameBits(delivery.played, sent));
    }
}

}  // namespace
