#pragma once

#include "records/game_state.h"

#include <cmath>

namespace physics {

constexpr float TimeStep = 1.0f / 600.0f;        // simulated seconds per world step
constexpr float SheetDeceleration = 12.009216f;  // m/s^2 of sliding friction
constexpr float SpeedLossPerStep = TimeStep * SheetDeceleration;
constexpr float CurlCoefficient = 0.066696f;  // sideways push per unit of speed loss
constexpr float DeliverySpin = 0.066696f;     // rad/s given to a delivered stone; the sign picks the curl

// What the sheet's friction reads and writes on one stone.
struct StoneMotion {
    float vx = 0.0f;    // m/s
    float vy = 0.0f;    // m/s
    float spin = 0.0f;  // rad/s; only its sign, and whether it is zero, steer the curl
};

// Spin of a delivered stone: curl 0 turns its path counter-clockwise, any other value clockwise.
inline float SpinForCurl(uint8_t curl) {
    return curl == 0 ? DeliverySpin : -DeliverySpin;
}

// False when the speed of (vx, vy) is not a finite float (a component is not a number or infinite, or
// the squared speed overflows). Friction would turn such a velocity into NaN, and Box2D would spread NaN
// to every stone it touches; such a delivery stays where it is, as a NaN one already does.
inline bool IsDeliverableVelocity(float vx, float vy) {
    return std::isfinite(vx * vx + vy * vy);
}

// One application of sheet friction: the speed drops by speedLoss and a spinning stone's path turns
// towards the side of its spin, without further loss of speed. A stone no faster than speedLoss stops,
// and a stopped stone loses its spin. Pure single-precision arithmetic, so equal inputs give bit-equal
// results wherever it runs. Inline, as the stepping loops call it for every stone and step.
inline StoneMotion ApplyFrictionStep(const StoneMotion& motion, float speedLoss) {
    const float speed = std::sqrt(motion.vx * motion.vx + motion.vy * motion.vy);
    StoneMotion next;
    if (speed > speedLoss) {
        const float inverseSpeed = 1.0f / speed;
        const float nx = motion.vx * inverseSpeed;
        const float ny = motion.vy * inverseSpeed;
        next.vx = motion.vx - speedLoss * nx;
        next.vy = motion.vy - speedLoss * ny;
        if (motion.spin != 0.0f) {
            const float k = motion.spin > 0.0f ? CurlCoefficient : -CurlCoefficient;
            const float length = std::sqrt(next.vx * next.vx + next.vy * next.vy);
            const float push = k * speedLoss;
            const float wx = next.vx + push * -ny;
            const float wy = next.vy + push * nx;
            const float inverseW = 1.0f / std::sqrt(wx * wx + wy * wy);
            next.vx = wx * inverseW * length;
            next.vy = wy * inverseW * length;
        }
    }
    // The square root of a sum of squares is zero exactly when the sum is.
    const bool stopped = next.vx * next.vx + next.vy * next.vy == 0.0f;
    next.spin = stopped ? 0.0f : motion.spin;
    return next;
}

struct LoneStoneRun {
    records::StonePosition rest;  // where the stone stops
    int stopStep = 0;             // the world step whose friction update stopped it
};

// A stone delivered alone from the delivery point, moved exactly as a world with no other body moves it:
// half a step of friction first, then per step position += TimeStep * velocity and one friction step.
// Sheet bounds are ignored, so the stone may stop anywhere on the plane.
LoneStoneRun SlideLoneStone(const records::ShotVector& shot);

inline records::StonePosition LoneStoneRestingPoint(const records::ShotVector& shot) {
    return SlideLoneStone(shot).rest;
}

}  // namespace physics
