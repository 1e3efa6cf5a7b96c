#include "physics/detail/repeating_step.h"

#include "physics/detail/inert_stones.h"

#include <box2d/box2d.h>

namespace physics {

namespace {

bool StandsStill(const b2Body& body) {
    const b2Vec2& v = body.GetLinearVelocity();
    return v.x == 0.0f && v.y == 0.0f && body.GetAngularVelocity() == 0.0f;
}

// A centre on an axis is left out: there the sign of a zero, which the angle sets, would reach the
// centre.
bool OffTheAxes(const b2Vec2& p) {
    return p.x != 0.0f && p.y != 0.0f;
}

bool SameContact(const StillContact& a, const StillContact& b) {
    if (a.contact != b.contact || a.fixtureA != b.fixtureA || a.fixtureB != b.fixtureB ||
        a.touching != b.touching || a.pointCount != b.pointCount) {
        return false;
    }
    for (int k = 0; k < a.pointCount; ++k) {
        if (a.normalImpulse[k] != b.normalImpulse[k] || a.tangentImpulse[k] != b.tangentImpulse[k]) {
            return false;
        }
    }
    return true;
}

bool SameStone(const StillWorld& a, const StillWorld& b, int i) {
    return a.present[i] == b.present[i] && a.awake[i] == b.awake[i] && a.position[i][0] == b.position[i][0] &&
           a.position[i][1] == b.position[i][1];
}

bool EveryStoneStandsStill(const SheetStones& stones) {
    for (int i = 0; i < stones.count; ++i) {
        if (stones.bodies[i] != nullptr && !StandsStill(*stones.bodies[i])) {
            return false;
        }
    }
    return true;
}

// False when the world holds more contacts than a still world keeps.
bool TakeStillWorld(const SheetStones& stones, const b2World& world, int step, StillWorld& taken) {
    taken.step = -1;
    taken.mayFallAsleep = false;
    for (int i = 0; i < records::StoneCount; ++i) {
        const b2Body* body = i < stones.count ? stones.bodies[i] : nullptr;
        taken.present[i] = body != nullptr;
        taken.awake[i] = false;
        taken.position[i][0] = 0.0f;
        taken.position[i][1] = 0.0f;
        if (body == nullptr) {
            continue;
        }
        taken.awake[i] = body->IsAwake();
        taken.mayFallAsleep = taken.mayFallAsleep || (body->IsAwake() && StillTime(*body) < b2_timeToSleep);
        taken.position[i][0] = body->GetPosition().x;
        taken.position[i][1] = body->GetPosition().y;
    }
    taken.contactCount = 0;
    for (const b2Contact* contact = world.GetContactList(); contact != nullptr;
         contact = contact->GetNext()) {
        if (taken.contactCount == StillWorld::MaxContacts) {
            return false;
        }
        StillContact& still = taken.contacts[taken.contactCount++];
        const b2Manifold& manifold = *contact->GetManifold();
        still.contact = contact;
        still.fixtureA = contact->GetFixtureA();
        still.fixtureB = contact->GetFixtureB();
        still.touching = contact->IsTouching();
        still.pointCount = manifold.pointCount;
        for (int k = 0; k < manifold.pointCount; ++k) {
            still.normalImpulse[k] = manifold.points[k].normalImpulse;
            still.tangentImpulse[k] = manifold.points[k].tangentImpulse;
        }
    }
    taken.step = step;
    return true;
}

void Forget(StillHistory& history) {
    history.taken[0].step = -1;
    history.taken[1].step = -1;
}

}  // namespace

bool RepeatsEarlierStep(const SheetStones& stones, const b2World& world, int step, StillHistory& history) {
    StillWorld& twoBefore = history.taken[step & 1];
    const StillWorld& oneBefore = history.taken[(step - 1) & 1];
    // Checked before a still world is built: most steps have a stone in motion.
    if (!EveryStoneStandsStill(stones)) {
        Forget(history);
        return false;
    }
    StillWorld now;
    if (!TakeStillWorld(stones, world, step, now)) {
        Forget(history);
        return false;
    }
    bool repeats = twoBefore.step == step - 2 && oneBefore.step == step - 1 && !oneBefore.mayFallAsleep &&
                   !now.mayFallAsleep && twoBefore.contactCount == now.contactCount;
    for (int i = 0; repeats && i < records::StoneCount; ++i) {
        repeats = SameStone(now, twoBefore, i) && SameStone(now, oneBefore, i) &&
                  (!now.present[i] || OffTheAxes(stones.bodies[i]->GetPosition()));
    }
    for (int k = 0; repeats && k < now.contactCount; ++k) {
        repeats = SameContact(now.contacts[k], twoBefore.contacts[k]);
    }
    twoBefore = now;
    return repeats;
}

}  // namespace physics
