#pragma once

#include "physics/world/broad_phase.h"
#include "physics/world/world.h"

// b2Island::Solve's integration and sleep rule for one stone, and b2Body::SynchronizeFixtures: inline,
// as the skips run them for a lone stone at every step.
namespace physics {

// Box2D's tuning constants, in its own float expressions.
constexpr float MaxTranslation = 2.0f * 1.0f;
constexpr float MaxTranslationSquared = MaxTranslation * MaxTranslation;
constexpr float MaxRotation = 0.5f * BoxPi;
constexpr float MaxRotationSquared = MaxRotation * MaxRotation;
constexpr float LinearSleepTolerance = 0.01f * 1.0f;
constexpr float AngularSleepTolerance = 2.0f / 180.0f * BoxPi;
constexpr float TimeToSleep = 0.5f;

struct StepTiming {
    float dt = 0.0f;
    float inverseDt = 0.0f;
    float dtRatio = 0.0f;  // dt over the last step's, which scales the impulses kept for warm starting
};

// The position integration: the translation and the rotation of a step are clamped by scaling the
// velocity.
inline void IntegratePosition(float h, Vec2& c, float& a, Vec2& v, float& w) {
    const Vec2 translation = h * v;
    if (Dot(translation, translation) > MaxTranslationSquared) {
        const float ratio = MaxTranslation / Length(translation);
        v = Vec2{v.x * ratio, v.y * ratio};
    }
    const float rotation = h * w;
    if (rotation * rotation > MaxRotationSquared) {
        const float ratio = MaxRotation / (rotation > 0.0f ? rotation : -rotation);
        w *= ratio;
    }
    c = c + h * v;
    a += h * w;
}

// Whether a stone moves or spins too fast to count as held still.
inline bool Restless(const WorldStone& stone) {
    const float linearToleranceSquared = LinearSleepTolerance * LinearSleepTolerance;
    const float angularToleranceSquared = AngularSleepTolerance * AngularSleepTolerance;
    return stone.spin * stone.spin > angularToleranceSquared ||
           Dot(stone.velocity, stone.velocity) > linearToleranceSquared;
}

// The island solve of an awake stone without touching contacts, alone in its island: no gravity, force
// or damping, so the velocity integration adds positive zeros (which only turn a negative zero
// positive), and the position solver has nothing to solve. `startCentre` receives its centre before.
inline void SolveLoneStone(WorldStone& stone, float h, Vec2& startCentre) {
    startCentre = stone.centre;
    Vec2 v{stone.velocity.x + 0.0f, stone.velocity.y + 0.0f};
    float w = stone.spin + 0.0f;
    IntegratePosition(h, stone.centre, stone.angle, v, w);
    stone.velocity = v;
    stone.spin = w;
    stone.islandSolved = true;
    if (Restless(stone)) {
        stone.sleepTime = 0.0f;
    } else {
        stone.sleepTime += h;
    }
    if (stone.sleepTime >= TimeToSleep) {
        PutStoneToSleep(stone);
    }
}

// b2Body::SynchronizeFixtures for a stone solved in this step: an awake stone sweeps from `startCentre`,
// a sleeping one stands; its proxy is re-inserted, and buffered for the pair search, when its fat box no
// longer fits.
inline void SynchronizeProxy(World& world, int32_t index, Vec2 startCentre) {
    const WorldStone& stone = world.stones[index];
    const Box box2 = StoneBoxAt(stone.centre);
    const Box box1 = stone.awake ? StoneBoxAt(startCentre) : box2;
    MoveProxy(world.broadPhase, stone.proxy, Combine(box1, box2), Centre(box2) - Centre(box1));
}

}  // namespace physics
