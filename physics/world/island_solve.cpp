#include "physics/world/island_solve.h"

#include "physics/world/contacts.h"

#include <cfloat>

namespace physics {

namespace {

// Box2D's tuning constants, in its own float expressions.
constexpr float LinearSlop = 0.005f * 1.0f;
constexpr float Baumgarte = 0.2f;
constexpr float MaxLinearCorrection = 0.2f * 1.0f;
constexpr int VelocityIterations = 10;
constexpr int PositionIterations = 10;

struct Island {
    int32_t stones[WorldStoneCapacity];
    int32_t stoneCount = 0;
    int32_t contacts[ContactCapacity];
    int32_t contactCount = 0;
};

// What the island solve works on: each stone's position and velocity by its place in the island.
struct SolverBodies {
    Vec2 c[WorldStoneCapacity];
    float a[WorldStoneCapacity];
    Vec2 v[WorldStoneCapacity];
    float w[WorldStoneCapacity];
};

// b2ContactVelocityConstraint of a contact's one point.
struct VelocityConstraint {
    int32_t indexA;
    int32_t indexB;
    Vec2 normal;
    Vec2 rA;
    Vec2 rB;
    float normalImpulse;
    float tangentImpulse;
    float normalMass;
    float tangentMass;
    float velocityBias;
};

// The world points of two stones' circle centres, from positions the solver holds.
void CircleCentres(Vec2 cA, float aA, Vec2 cB, float aB, Vec2& pointA, Vec2& pointB) {
    pointA = CircleCentreOf(OriginOf(cA, aA), aA);
    pointB = CircleCentreOf(OriginOf(cB, aB), aB);
}

// b2ContactSolver's constructor and InitializeVelocityConstraints, with b2WorldManifold::Initialize
// for circles.
void InitializeConstraint(const WorldContact& contact, const int32_t* islandIndex, const SolverBodies& bodies,
                          const StepTiming& step, VelocityConstraint& vc) {
    vc.indexA = islandIndex[contact.stoneA];
    vc.indexB = islandIndex[contact.stoneB];
    vc.normalImpulse = step.dtRatio * contact.normalImpulse;
    vc.tangentImpulse = step.dtRatio * contact.tangentImpulse;
    const Vec2 cA = bodies.c[vc.indexA];
    const Vec2 cB = bodies.c[vc.indexB];
    Vec2 pointA;
    Vec2 pointB;
    CircleCentres(cA, bodies.a[vc.indexA], cB, bodies.a[vc.indexB], pointA, pointB);
    Vec2 normal{1.0f, 0.0f};
    const Vec2 apart = pointA - pointB;
    if (Dot(apart, apart) > FLT_EPSILON * FLT_EPSILON) {
        normal = Normalized(pointB - pointA);
    }
    const Vec2 surfaceA = pointA + records::StoneRadius * normal;
    const Vec2 surfaceB = pointB - records::StoneRadius * normal;
    const Vec2 point = 0.5f * (surfaceA + surfaceB);
    vc.normal = normal;
    vc.rA = point - cA;
    vc.rB = point - cB;
    const float mA = StoneInverseMass;
    const float mB = StoneInverseMass;
    const float iA = StoneInverseInertia;
    const float iB = StoneInverseInertia;
    const float rnA = Cross(vc.rA, normal);
    const float rnB = Cross(vc.rB, normal);
    const float kNormal = mA + mB + iA * rnA * rnA + iB * rnB * rnB;
    vc.normalMass = kNormal > 0.0f ? 1.0f / kNormal : 0.0f;
    const Vec2 tangent = Cross(normal, 1.0f);
    const float rtA = Cross(vc.rA, tangent);
    const float rtB = Cross(vc.rB, tangent);
    const float kTangent = mA + mB + iA * rtA * rtA + iB * rtB * rtB;
    vc.tangentMass = kTangent > 0.0f ? 1.0f / kTangent : 0.0f;
    vc.velocityBias = 0.0f;
    const Vec2 vA = bodies.v[vc.indexA];
    const Vec2 vB = bodies.v[vc.indexB];
    const float vRel =
        Dot(normal, vB + Cross(bodies.w[vc.indexB], vc.rB) - vA - Cross(bodies.w[vc.indexA], vc.rA));
    if (vRel < -StoneRestitutionThreshold) {
        vc.velocityBias = -StoneRestitution * vRel;
    }
}

// b2ContactSolver::WarmStart for one constraint.
void WarmStart(const VelocityConstraint& vc, SolverBodies& bodies) {
    const Vec2 tangent = Cross(vc.normal, 1.0f);
    const Vec2 P = vc.normalImpulse * vc.normal + vc.tangentImpulse * tangent;
    bodies.w[vc.indexA] -= StoneInverseInertia * Cross(vc.rA, P);
    bodies.v[vc.indexA] = bodies.v[vc.indexA] - StoneInverseMass * P;
    bodies.w[vc.indexB] += StoneInverseInertia * Cross(vc.rB, P);
    bodies.v[vc.indexB] = bodies.v[vc.indexB] + StoneInverseMass * P;
}

// b2ContactSolver::SolveVelocityConstraints for one constraint of one point: friction first, then the
// normal impulse.
void SolveVelocity(VelocityConstraint& vc, float friction, SolverBodies& bodies) {
    const float mA = StoneInverseMass;
    const float mB = StoneInverseMass;
    const float iA = StoneInverseInertia;
    const float iB = StoneInverseInertia;
    Vec2 vA = bodies.v[vc.indexA];
    float wA = bodies.w[vc.indexA];
    Vec2 vB = bodies.v[vc.indexB];
    float wB = bodies.w[vc.indexB];
    const Vec2 normal = vc.normal;
    const Vec2 tangent = Cross(normal, 1.0f);
    {
        const Vec2 dv = vB + Cross(wB, vc.rB) - vA - Cross(wA, vc.rA);
        const float vt = Dot(dv, tangent) - 0.0f;
        float lambda = vc.tangentMass * (-vt);
        const float maxFriction = friction * vc.normalImpulse;
        const float newImpulse = Max(-maxFriction, Min(vc.tangentImpulse + lambda, maxFriction));
        lambda = newImpulse - vc.tangentImpulse;
        vc.tangentImpulse = newImpulse;
        const Vec2 P = lambda * tangent;
        vA = vA - mA * P;
        wA -= iA * Cross(vc.rA, P);
        vB = vB + mB * P;
        wB += iB * Cross(vc.rB, P);
    }
    {
        const Vec2 dv = vB + Cross(wB, vc.rB) - vA - Cross(wA, vc.rA);
        const float vn = Dot(dv, normal);
        float lambda = -vc.normalMass * (vn - vc.velocityBias);
        const float newImpulse = Max(vc.normalImpulse + lambda, 0.0f);
        lambda = newImpulse - vc.normalImpulse;
        vc.normalImpulse = newImpulse;
        const Vec2 P = lambda * normal;
        vA = vA - mA * P;
        wA -= iA * Cross(vc.rA, P);
        vB = vB + mB * P;
        wB += iB * Cross(vc.rB, P);
    }
    bodies.v[vc.indexA] = vA;
    bodies.w[vc.indexA] = wA;
    bodies.v[vc.indexB] = vB;
    bodies.w[vc.indexB] = wB;
}

// b2ContactSolver::SolvePositionConstraints with b2PositionSolverManifold for circles: true when no
// contact overlaps by more than three linear slops.
bool SolvePositions(const VelocityConstraint* constraints, int32_t count, SolverBodies& bodies) {
    float minSeparation = 0.0f;
    for (int32_t k = 0; k < count; ++k) {
        const int32_t indexA = constraints[k].indexA;
        const int32_t indexB = constraints[k].indexB;
        Vec2 cA = bodies.c[indexA];
        float aA = bodies.a[indexA];
        Vec2 cB = bodies.c[indexB];
        float aB = bodies.a[indexB];
        Vec2 pointA;
        Vec2 pointB;
        CircleCentres(cA, aA, cB, aB, pointA, pointB);
        const Vec2 normal = Normalized(pointB - pointA);
        const Vec2 point = 0.5f * (pointA + pointB);
        const float separation = Dot(pointB - pointA, normal) - records::StoneRadius - records::StoneRadius;
        const Vec2 rA = point - cA;
        const Vec2 rB = point - cB;
        minSeparation = Min(minSeparation, separation);
        const float C = Max(-MaxLinearCorrection, Min(Baumgarte * (separation + LinearSlop), 0.0f));
        const float rnA = Cross(rA, normal);
        const float rnB = Cross(rB, normal);
        const float K = StoneInverseMass + StoneInverseMass + StoneInverseInertia * rnA * rnA +
                        StoneInverseInertia * rnB * rnB;
        const float impulse = K > 0.0f ? -C / K : 0.0f;
        const Vec2 P = impulse * normal;
        cA = cA - StoneInverseMass * P;
        aA -= StoneInverseInertia * Cross(rA, P);
        cB = cB + StoneInverseMass * P;
        aB += StoneInverseInertia * Cross(rB, P);
        bodies.c[indexA] = cA;
        bodies.a[indexA] = aA;
        bodies.c[indexB] = cB;
        bodies.a[indexB] = aB;
    }
    return minSeparation >= -3.0f * LinearSlop;
}

// b2Island::Solve's sleep rule: the island sleeps once every stone in it has held still for the time
// to sleep and the position solver finished early.
void UpdateSleep(World& world, const int32_t* stones, int32_t count, float h, bool positionSolved) {
    float minSleepTime = FLT_MAX;
    for (int32_t i = 0; i < count; ++i) {
        WorldStone& stone = world.stones[stones[i]];
        if (Restless(stone)) {
            stone.sleepTime = 0.0f;
            minSleepTime = 0.0f;
        } else {
            stone.sleepTime += h;
            minSleepTime = Min(minSleepTime, stone.sleepTime);
        }
    }
    if (minSleepTime >= TimeToSleep && positionSolved) {
        for (int32_t i = 0; i < count; ++i) {
            PutStoneToSleep(world.stones[stones[i]]);
        }
    }
}

// b2Island::Solve.
void SolveIsland(World& world, const Island& island, const StepTiming& step, int32_t* islandIndex,
                 Vec2* startCentre) {
    const float h = step.dt;
    SolverBodies bodies;
    for (int32_t i = 0; i < island.stoneCount; ++i) {
        const int32_t index = island.stones[i];
        const WorldStone& stone = world.stones[index];
        islandIndex[index] = i;
        startCentre[index] = stone.centre;
        bodies.c[i] = stone.centre;
        bodies.a[i] = stone.angle;
        bodies.v[i] = Vec2{stone.velocity.x + 0.0f, stone.velocity.y + 0.0f};
        bodies.w[i] = stone.spin + 0.0f;
    }
    VelocityConstraint constraints[ContactCapacity];
    for (int32_t k = 0; k < island.contactCount; ++k) {
        InitializeConstraint(world.contacts[island.contacts[k]], islandIndex, bodies, step, constraints[k]);
    }
    for (int32_t k = 0; k < island.contactCount; ++k) {
        WarmStart(constraints[k], bodies);
    }
    const float friction = MixedFriction();
    for (int iteration = 0; iteration < VelocityIterations; ++iteration) {
        for (int32_t k = 0; k < island.contactCount; ++k) {
            SolveVelocity(constraints[k], friction, bodies);
        }
    }
    for (int32_t k = 0; k < island.contactCount; ++k) {
        WorldContact& contact = world.contacts[island.contacts[k]];
        contact.normalImpulse = constraints[k].normalImpulse;
        contact.tangentImpulse = constraints[k].tangentImpulse;
    }
    for (int32_t i = 0; i < island.stoneCount; ++i) {
        IntegratePosition(h, bodies.c[i], bodies.a[i], bodies.v[i], bodies.w[i]);
    }
    bool positionSolved = false;
    for (int iteration = 0; iteration < PositionIterations; ++iteration) {
        if (SolvePositions(constraints, island.contactCount, bodies)) {
            positionSolved = true;
            break;
        }
    }
    for (int32_t i = 0; i < island.stoneCount; ++i) {
        WorldStone& stone = world.stones[island.stones[i]];
        stone.centre = bodies.c[i];
        stone.angle = bodies.a[i];
        stone.velocity = bodies.v[i];
        stone.spin = bodies.w[i];
        stone.islandSolved = positionSolved;
    }
    UpdateSleep(world, island.stones, island.stoneCount, h, positionSolved);
}

// The island of `seed`, depth first: each stone taken from the stack joins it (and wakes, keeping its
// sleep time), and pushes the unvisited stones its touching contacts lead to, newest contact first.
void BuildIsland(World& world, int32_t seed, bool* stoneInIsland, bool* contactInIsland, Island& island) {
    int32_t stack[WorldStoneCapacity];
    int32_t stackCount = 0;
    stack[stackCount++] = seed;
    stoneInIsland[seed] = true;
    while (stackCount > 0) {
        const int32_t index = stack[--stackCount];
        island.stones[island.stoneCount++] = index;
        world.stones[index].awake = true;
        for (int32_t edge = world.stones[index].edges; edge != NullEdge; edge = EdgeNext(world, edge)) {
            const int32_t contact = EdgeContact(edge);
            if (contactInIsland[contact] || !world.contacts[contact].touching) {
                continue;
            }
            island.contacts[island.contactCount++] = contact;
            contactInIsland[contact] = true;
            const int32_t other = EdgeOther(world, edge);
            if (stoneInIsland[other]) {
                continue;
            }
            stack[stackCount++] = other;
            stoneInIsland[other] = true;
        }
    }
}

}  // namespace

void SolveIslands(World& world, const StepTiming& step) {
    bool stoneInIsland[WorldStoneCapacity] = {};
    bool contactInIsland[ContactCapacity] = {};
    int32_t islandIndex[WorldStoneCapacity] = {};
    Vec2 startCentre[WorldStoneCapacity] = {};
    for (int32_t seed = world.stoneCount - 1; seed >= 0; --seed) {
        const WorldStone& stone = world.stones[seed];
        if (!stone.present || stoneInIsland[seed] || !stone.awake) {
            continue;
        }
        Island island;
        BuildIsland(world, seed, stoneInIsland, contactInIsland, island);
        if (island.contactCount == 0) {
            SolveLoneStone(world.stones[seed], step.dt, startCentre[seed]);
        } else {
            SolveIsland(world, island, step, islandIndex, startCentre);
        }
    }
    for (int32_t index = world.stoneCount - 1; index >= 0; --index) {
        if (world.stones[index].present && stoneInIsland[index]) {
            SynchronizeProxy(world, index, startCentre[index]);
        }
    }
}

StepTiming PlayStepTiming() {
    StepTiming step;
    step.dt = 1.0f / 600.0f;
    step.inverseDt = 1.0f / step.dt;
    step.dtRatio = step.inverseDt * step.dt;
    return step;
}

}  // namespace physics
