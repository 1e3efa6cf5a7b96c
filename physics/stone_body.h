#pragma once

#include <cstdint>

// What every stone body is made of, placed or delivered, in the plain path's Box2D world and in the
// stone world alike.
namespace physics {

constexpr float StoneDensity = 10.0f;
constexpr float StoneRestitution = 1.0f;
constexpr float StoneFriction = 12.009216f;  // the sheet deceleration, reused for stone-on-stone friction
constexpr uint16_t StoneCollisionBits = 0x0003;

}  // namespace physics
