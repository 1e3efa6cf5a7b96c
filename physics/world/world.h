#pragma once

#include "physics/stone_body.h"
#include "physics/world/broad_phase.h"
#include "physics/world/vec2.h"
#include "records/game_state.h"
#include "records/sheet.h"

#include <cstdint>

// The stone world: what Box2D 2.4.1's b2World keeps of a world of the engine's stones (dynamic circles
// of one size, no gravity, no static body, sleeping allowed), in plain data, and one step that does to
// it what b2World::Step(1/600, 10, 10) does, float operation for float operation and in the same order.
// Box2D stays the oracle: a test steps both side by side and compares every field after every step.
// Copying a World is a snapshot; stepping it allocates nothing and reads no clock.
//
// Stones are created in index order, so Box2D's body list (newest first) is the present stones from the
// highest index down. Contacts are kept in Box2D's lists: the world's and each stone's, newest first.
namespace physics {

constexpr int WorldStoneCapacity = records::StoneCount;
constexpr int ContactCapacity = WorldStoneCapacity * (WorldStoneCapacity - 1) / 2;
constexpr int32_t NullContact = -1;
constexpr int32_t NullEdge = -1;

// A stone: a dynamic body with one circle fixture centred on it.
struct WorldStone {
    Vec2 centre{};  // the centre of mass, which b2Body's sweep keeps; the body origin only differs in the
                    // sign of a zero coordinate (OriginOf)
    float angle = 0.0f;        // radians
    Vec2 velocity{};           // m/s
    float spin = 0.0f;         // rad/s
    float sleepTime = 0.0f;    // how long the body has held still, as the island solve counts it
    int32_t proxy = NullNode;  // its leaf in the broad phase's tree
    int32_t edges = NullEdge;  // the newest edge of its contact list (edge 2c + side of contact c)
    bool present = false;
    bool awake = false;
    // Not Box2D's but what its last island solve found: the position solver finished early. With the
    // sleep time it decides when the stone's island falls asleep.
    bool islandSolved = true;
};

// A contact of two stones whose fat boxes overlap; the stone of the lower proxy id is stone A.
struct WorldContact {
    int32_t stoneA = -1;
    int32_t stoneB = -1;
    int32_t prev = NullContact;  // the world's list
    int32_t next = NullContact;
    int32_t edgePrev[2] = {NullEdge, NullEdge};  // stone A's list (side 0) and stone B's (side 1)
    int32_t edgeNext[2] = {NullEdge, NullEdge};
    int32_t pointCount = 0;      // the manifold's: 1 while the circles touch, 0 otherwise
    float normalImpulse = 0.0f;  // the manifold point's, kept from step to step to warm the solver
    float tangentImpulse = 0.0f;
    bool touching = false;
};

struct World {
    WorldStone stones[WorldStoneCapacity];
    int32_t stoneCount = 0;  // entries of the table: one above the highest index created
    WorldContact contacts[ContactCapacity];
    int32_t contactList = NullContact;  // the newest contact
    int32_t freeContact = 0;            // a free slot, chained through `next`
    int32_t contactCount = 0;
    BroadPhase broadPhase;
    float inverseTimeStep0 = 0.0f;  // 1/dt of the last step, 0 before the first: scales warm starting
    bool newContacts = false;       // a stone was created: the next step searches pairs first
};

// A stone's mass and inertia as Box2D derives them from its fixture, and the contact's restitution
// threshold (m/s of approach below which nothing bounces), a fixture default.
constexpr float StoneRestitutionThreshold = 1.0f;
constexpr float BoxPi = 3.14159265359f;
constexpr float StoneMass = StoneDensity * BoxPi * records::StoneRadius * records::StoneRadius;
constexpr float StoneInverseMass = 1.0f / StoneMass;
constexpr float StoneInertia = StoneMass * (0.5f * records::StoneRadius * records::StoneRadius + 0.0f);
constexpr float StoneInverseInertia = 1.0f / StoneInertia;

// An empty world; its tree's free list as a new b2World's.
World EmptyWorld();

// b2World::CreateBody and CreateFixture for stone `index` at rest at (x, y), awake; the index is above
// every stone's created before. The next step searches for its pairs before anything else.
void CreateStone(World& world, int32_t index, float x, float y);

// b2World::DestroyBody: its contacts go first (a touching one wakes both stones), then its proxy.
void DestroyStone(World& world, int32_t stone);

// b2World::Step(dt, 10, 10).
void StepWorld(World& world, float dt);

// The same in two halves, for a caller that follows what a step does to the broad phase: everything up
// to the proxies' updates (the move buffer then holds the proxies re-inserted, in order), then the pair
// search with its contacts, whose pairs are copied to `pairs` (PairCapacity of them) when given, and the
// end of the step. Returns the number of pairs.
void StepToPairSearch(World& world, float dt);
int FinishStep(World& world, float dt, ProxyPair* pairs);

// b2Body::SetAwake.
inline void WakeStone(WorldStone& stone) {
    stone.awake = true;
    stone.sleepTime = 0.0f;
}

inline void PutStoneToSleep(WorldStone& stone) {
    stone.awake = false;
    stone.sleepTime = 0.0f;
    stone.velocity = Vec2{};
    stone.spin = 0.0f;
}

// b2Body::SetLinearVelocity: a non-zero velocity wakes the stone, which restarts its sleep time even
// when it is awake already.
inline void SetStoneVelocity(WorldStone& stone, Vec2 velocity) {
    if (Dot(velocity, velocity) > 0.0f) {
        WakeStone(stone);
    }
    stone.velocity = velocity;
}

// b2Body::SetAngularVelocity.
inline void SetStoneSpin(WorldStone& stone, float spin) {
    if (spin * spin > 0.0f) {
        WakeStone(stone);
    }
    stone.spin = spin;
}

// b2Mul(rotation, 0) for a rotation by `angle`: zeros whose signs follow libm's sinf and cosf of it.
Vec2 RotatedZero(float angle);

// The body origin of a stone centred at `centre` and turned by `angle`: b2Body's transform position,
// centre - R(angle) * 0. The rotated zero reaches the result only where a coordinate of the centre is
// zero; sinf and cosf are called then, as Box2D calls them.
inline Vec2 OriginOf(Vec2 centre, float angle) {
    if (centre.x != 0.0f && centre.y != 0.0f) {
        return centre;
    }
    return centre - RotatedZero(angle);
}

// b2Mul(transform, 0): the world point of the circle's centre for a body origin turned by `angle`.
inline Vec2 CircleCentreOf(Vec2 origin, float angle) {
    if (origin.x != 0.0f && origin.y != 0.0f) {
        return origin;
    }
    const Vec2 zero = RotatedZero(angle);
    return Vec2{zero.x + origin.x, zero.y + origin.y};
}

inline Vec2 PositionOf(const WorldStone& stone) {
    return OriginOf(stone.centre, stone.angle);
}

// The stone a contact edge leads to, and the contact it belongs to.
inline int32_t EdgeContact(int32_t edge) {
    return edge >> 1;
}

inline int32_t EdgeOther(const World& world, int32_t edge) {
    const WorldContact& contact = world.contacts[EdgeContact(edge)];
    return (edge & 1) == 0 ? contact.stoneB : contact.stoneA;
}

inline int32_t EdgeNext(const World& world, int32_t edge) {
    return world.contacts[EdgeContact(edge)].edgeNext[edge & 1];
}

}  // namespace physics
