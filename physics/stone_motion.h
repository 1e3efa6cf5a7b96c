#pragma once

#include "front/game_state.h"

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
// results wherever it runs.
StoneMotion ApplyFrictionStep(const StoneMotion& motion, float speedLoss);

struct LoneStoneRun {
    StonePosition rest;  // where the stone stops
    int stopStep = 0;    // the world step whose friction update stopped it
};

// A stone delivered alone from the delivery point, moved exactly as a world with no other body moves it:
// half a step of friction first, then per step position += TimeStep * velocity and one friction step.
// Sheet bounds are ignored, so the stone may stop anywhere on the plane.
LoneStoneRun SlideLoneStone(const ShotVector& shot);

inline StonePosition LoneStoneRestingPoint(const ShotVector& shot) {
    return SlideLoneStone(shot).rest;
}

}  // namespace physics
