#include "physics/world/world.h"

#include "physics/world/contacts.h"
#include "physics/world/island_solve.h"

#include <cassert>
#include <cmath>

namespace physics {

namespace {

// Every contact joins two stones in the world: two dynamic bodies, neither of them a bullet.
[[maybe_unused]] bool TimeOfImpactFindsNothing(const World& world) {
    for (int32_t c = world.contactList; c != NullContact; c = world.contacts[c].next) {
        const WorldContact& contact = world.contacts[c];
        if (contact.stoneA == contact.stoneB || !world.stones[contact.stoneA].present ||
            !world.stones[contact.stoneB].present) {
            return false;
        }
    }
    return true;
}

}  // namespace

Vec2 RotatedZero(float angle) {
    const float s = sinf(angle);
    const float c = cosf(angle);
    return Vec2{c * 0.0f - s * 0.0f, s * 0.0f + c * 0.0f};
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

void StepToPairSearch(World& world, float dt) {
    if (world.newContacts) {
        FindNewContacts(world);
        world.newContacts = false;
    }
    StepTiming step;
    step.dt = dt;
    step.inverseDt = dt > 0.0f ? 1.0f / dt : 0.0f;
    step.dtRatio = world.inverseTimeStep0 * dt;
    Collide(world);
    if (step.dt > 0.0f) {
        SolveIslands(world, step);
    }
}

int FinishStep(World& world, float dt, ProxyPair* pairs) {
    int count = 0;
    if (dt > 0.0f) {
        ProxyPair found[PairCapacity];
        ProxyPair* into = pairs != nullptr ? pairs : found;
        count = FindNewPairs(world.broadPhase, into);
        AddPairs(world, into, count);
    }
    // b2World::SolveTOI looks only at contacts in which one body is a bullet or not dynamic; every stone
    // is a dynamic body and none a bullet, so it finds nothing and changes nothing.
    assert(TimeOfImpactFindsNothing(world));
    if (dt > 0.0f) {
        world.inverseTimeStep0 = 1.0f / dt;
    }
    return count;
}

void StepWorld(World& world, float dt) {
    StepToPairSearch(world, dt);
    static_cast<void>(FinishStep(world, dt, nullptr));
}

}  // namespace physics
