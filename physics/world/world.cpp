#include "physics/world/world.h"

#include "physics/world/contacts.h"
#include "physics/world/island_solve.h"

#include <cassert>
#include <cmath>

namespace physics {

namespace {

// b2Mul(rotation, 0) for a rotation by `angle`: zeros whose signs follow its sine and cosine.
Vec2 RotatedZero(float angle) {
    const float s = sinf(angle);
    const float c = cosf(angle);
    return Vec2{c * 0.0f - s * 0.0f, s * 0.0f + c * 0.0f};
}

}  // namespace

Vec2 OriginOf(Vec2 centre, float angle) {
    if (centre.x != 0.0f && centre.y != 0.0f) {
        return centre;
    }
    return centre - RotatedZero(angle);
}

Vec2 CircleCentreOf(Vec2 origin, float angle) {
    if (origin.x != 0.0f && origin.y != 0.0f) {
        return origin;
    }
    const Vec2 zero = RotatedZero(angle);
    return Vec2{zero.x + origin.x, zero.y + origin.y};
}

World EmptyWorld() {
    World world;
    for (int32_t i = 0; i < ContactCapacity; ++i) {
        world.contacts[i].next = i + 1 < ContactCapacity ? i + 1 : NullContact;
    }
    world.freeContact = 0;
    return world;
}

void CreateStone(World& world, int32_t index, float x, float y) {
    assert(index >= world.stoneCount && index < WorldStoneCapacity);
    world.stoneCount = index + 1;
    WorldStone& stone = world.stones[index];
    stone = WorldStone{};
    stone.present = true;
    stone.awake = true;
    // b2Body::ResetMassData moves the centre to the origin plus the rotated zero local centre: a body
    // made at angle 0 adds positive zeros.
    stone.centre = Vec2{x + 0.0f, y + 0.0f};
    stone.proxy = CreateProxy(world.broadPhase, StoneBoxAt(Vec2{x, y}), index);
    world.newContacts = true;
}

void DestroyStone(World& world, int32_t index) {
    WorldStone& stone = world.stones[index];
    while (stone.edges != NullEdge) {
        DestroyContact(world, EdgeContact(stone.edges));
    }
    DestroyProxy(world.broadPhase, stone.proxy);
    stone.present = false;
    stone.proxy = NullNode;
}

void SetStoneVelocity(WorldStone& stone, Vec2 velocity) {
    if (Dot(velocity, velocity) > 0.0f) {
        WakeStone(stone);
    }
    stone.velocity = velocity;
}

void SetStoneSpin(WorldStone& stone, float spin) {
    if (spin * spin > 0.0f) {
        WakeStone(stone);
    }
    stone.spin = spin;
}

void StepWorld(World& world, float dt) {
    if (world.newContacts) {
        FindNewContacts(world);
        world.newContacts = false;
    }
    TimeStep step;
    step.dt = dt;
    step.inverseDt = dt > 0.0f ? 1.0f / dt : 0.0f;
    step.dtRatio = world.inverseTimeStep0 * dt;
    Collide(world);
    if (step.dt > 0.0f) {
        SolveIslands(world, step);
    }
    // b2World::SolveTOI looks only at contacts in which one body is a bullet or not dynamic; every stone
    // is a dynamic body and none a bullet, so it finds nothing and changes nothing.
    if (step.dt > 0.0f) {
        world.inverseTimeStep0 = step.inverseDt;
    }
}

}  // namespace physics
