#include "physics/detail/settle.h"

#include "physics/detail/lone_run.h"
#include "physics/detail/quiet_step.h"
#include "physics/detail/run_to_rest.h"
#include "physics/sheet.h"
#include "physics/stone_motion.h"
#include "records/sheet.h"

#include <box2d/box2d.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace physics {

namespace {

// A world of 16 stones holds at most 120 contacts.
constexpr int MaxContacts = 128;

// An island falls asleep only when no two of its stones overlap by more than three linear slops
// (0.015); the extra 0.0001 keeps clear of that boundary.
constexpr float SolvedDistance = 2.0f * records::StoneRadius - 3.0f * 0.005f + 0.0001f;

// Contacts are told apart by address and stones: an address may be reused by a later contact.
struct ContactSeen {
    const b2Contact* contact;
    const b2Body* bodyA;
    const b2Body* bodyB;
    bool touching;
};

// What the world showed after the previous step, and when each stone's sleep time last restarted.
struct Watch {
    int sleepStart[records::StoneCount];  // the step that added the first time step of its present run
    bool awake[records::StoneCount];
    records::StonePosition place[records::StoneCount];
    Box tree[records::StoneCount];
    bool boxMoved[records::StoneCount];
    ContactSeen contacts[MaxContacts];
    int contactCount = 0;
};

ContactSeen See(const b2Contact* c) {
    return ContactSeen{c, c->GetFixtureA()->GetBody(), c->GetFixtureB()->GetBody(), c->IsTouching()};
}

bool WasTouching(const Watch& watch, const ContactSeen& seen) {
    for (int k = 0; k < watch.contactCount; ++k) {
        const ContactSeen& old = watch.contacts[k];
        if (old.contact == seen.contact && old.bodyA == seen.bodyA && old.bodyB == seen.bodyB) {
            return old.touching;
        }
    }
    return false;  // created after the last step's contact update, so not yet touching
}

// Records this step's restarts, then what the world shows now. False when the contacts overflow, or
// when a touching contact would be dropped unseen at the next step: its end would wake nobody, and a
// contact for the same stones could come back at the same address, still touching by the record.
bool Observe(Watch& watch, const SheetStones& stones, b2World& world, const StoneProxies& proxies, int step) {
    int count = 0;
    ContactSeen seen[MaxContacts];
    for (const b2Contact* c = world.GetContactList(); c != nullptr; c = c->GetNext()) {
        if (count == MaxContacts) {
            return false;
        }
        seen[count] = See(c);
        const int a = StoneIndex(stones, seen[count].bodyA);
        const int b = StoneIndex(stones, seen[count].bodyB);
        if (seen[count].touching && !TreeBoxesOverlap(world, proxies.ids[a], proxies.ids[b])) {
            return false;
        }
        // A contact that starts or stops touching wakes both stones, which restarts their sleep time.
        if (seen[count].touching != WasTouching(watch, seen[count])) {
            watch.sleepStart[a] = step;
            watch.sleepStart[b] = step;
        }
        ++count;
    }
    std::copy(seen, seen + count, watch.contacts);
    watch.contactCount = count;
    for (int i = 0; i < stones.count; ++i) {
        const b2Body* body = stones.bodies[i];
        if (body == nullptr) {
            continue;
        }
        // An island that reaches a sleeping stone wakes it with the sleep time it had: none.
        if (body->IsAwake() && !watch.awake[i]) {
            watch.sleepStart[i] = step;
        }
        watch.awake[i] = body->IsAwake();
        watch.place[i] = records::StonePosition{body->GetPosition().x, body->GetPosition().y};
        const Box tree = TreeBox(world, proxies.ids[i]);
        watch.boxMoved[i] = watch.boxMoved[i] || std::memcmp(&tree, &watch.tree[i], sizeof tree) != 0;
        watch.tree[i] = tree;
    }
    return true;
}

bool SamePlace(const records::StonePosition& a, const b2Vec2& b) {
    const records::StonePosition other{b.x, b.y};
    return std::memcmp(&a, &other, sizeof a) == 0;
}

bool SameBox(const Box& a, const Box& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Every stone but the mover kept its place and box through this step and keeps them through every
// later one: nothing pushes it, and its box needs no update. Inert stones are told in `inert`.
bool OthersSettled(const Watch& watch, const SheetStones& stones, b2World& world, const StoneProxies& proxies,
                   int mover, InertStones& inert) {
    for (int i = 0; i < stones.count; ++i) {
        const b2Body* body = stones.bodies[i];
        if (body == nullptr || i == mover) {
            continue;
        }
        const b2Vec2& p = body->GetPosition();
        const Box tree = TreeBox(world, proxies.ids[i]);
        if (!SamePlace(watch.place[i], p) || !SameBox(watch.tree[i], tree) ||
            IsOffSheet(ClassifyStonePosition(p.x, p.y)) || !TreeBoxStays(tree, p.x, p.y)) {
            return false;
        }
    }
    inert = InertStones{};
    bool inertKnown = false;
    for (const b2Contact* c = world.GetContactList(); c != nullptr; c = c->GetNext()) {
        if (!c->IsTouching()) {
            continue;
        }
        const b2Body* a = c->GetFixtureA()->GetBody();
        const b2Body* b = c->GetFixtureB()->GetBody();
        const b2Vec2 d = b->GetPosition() - a->GetPosition();
        if (std::sqrt(d.x * d.x + d.y * d.y) >= SolvedDistance) {
            continue;
        }
        if (!inertKnown) {
            inert = FindInertStones(stones);
            inertKnown = true;
        }
        if (!inert.inert[StoneIndex(stones, a)] || !inert.inert[StoneIndex(stones, b)]) {
            return false;
        }
    }
    const b2Body* body = stones.bodies[mover];
    const b2Vec2& v = body->GetLinearVelocity();
    return body->IsAwake() && v.x * v.x + v.y * v.y > 0.0f && body->GetContactList() == nullptr;
}

// The island sleep test restarts a stone's sleep time when it moves or spins; the stones followed
// here never do.
bool OthersStandStill(const SheetStones& stones, int mover) {
    for (int i = 0; i < stones.count; ++i) {
        const b2Body* body = stones.bodies[i];
        if (body == nullptr || i == mover) {
            continue;
        }
        const b2Vec2& v = body->GetLinearVelocity();
        if (v.x != 0.0f || v.y != 0.0f || body->GetAngularVelocity() != 0.0f) {
            return false;
        }
    }
    return true;
}

int AllAsleepStep(const Watch& watch, const SheetStones& stones, int mover, const InertStones& inert,
                  int step) {
    int last = step;
    for (int i = 0; i < stones.count; ++i) {
        if (stones.bodies[i] != nullptr && i != mover && watch.awake[i] && !inert.inert[i]) {
            last = std::max(last, std::max(watch.sleepStart[i] + StepsToFallAsleep() - 1, step + 1));
        }
    }
    return last;
}

}  // namespace

Settling PlayUntilSettled(SheetStones& stones, b2World& world, int mover, int stepLimit) {
    const int stepsDone = 0;
    const StoneProxies proxies = FindStoneProxies(stones, world);
    Watch watch{};
    for (int i = 0; i < records::StoneCount; ++i) {
        watch.sleepStart[i] = stepsDone + 1;
        watch.awake[i] = true;  // every stone is created awake
    }
    if (!Observe(watch, stones, world, proxies, stepsDone + 1)) {
        return Settling{SettleEnd::GaveUp, stepsDone, 0, {}};
    }
    std::fill(watch.boxMoved, watch.boxMoved + records::StoneCount, false);
    for (int step = stepsDone + 1; step <= stepLimit; ++step) {
        StepQuietly(world, TimeStep, VelocityIterations, PositionIterations);
        const bool followed = OthersStandStill(stones, mover);
        ApplySheetFriction(stones, SpeedLossPerStep);
        if (ScanStones(stones, world)) {
            return Settling{SettleEnd::PlayOver, step, 0, {}};
        }
        if (!followed || stones.bodies[mover] == nullptr) {
            return Settling{SettleEnd::GaveUp, step, 0, {}};
        }
        InertStones inert;
        const bool settled = OthersSettled(watch, stones, world, proxies, mover, inert);
        if (!Observe(watch, stones, world, proxies, step)) {
            return Settling{SettleEnd::GaveUp, step, 0, {}};
        }
        if (settled) {
            bool othersKept = true;
            for (int i = 0; i < stones.count; ++i) {
                othersKept = othersKept && (i == mover || !watch.boxMoved[i]);
            }
            return Settling{SettleEnd::Settled, step, AllAsleepStep(watch, stones, mover, inert, step), inert,
                            othersKept};
        }
    }
    return Settling{SettleEnd::GaveUp, stepLimit, 0, {}};
}

}  // namespace physics
