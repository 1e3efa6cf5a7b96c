#include "physics/detail/settled_start.h"

#include "physics/detail/hand_over.h"
#include "physics/detail/private_member.h"

#include <box2d/box2d.h>

#include <cstring>

namespace physics {

// A contact's state flags (touching, enabled) are the world's own.
struct ContactFlags {
    using Type = uint32 b2Contact::*;
    friend Type MemberOf(ContactFlags);
};
template struct PrivateMember<ContactFlags, &b2Contact::m_flags>;

// A settled stone's place goes in as the world's step left it, not through SetTransform, which would
// shrink a proxy box that a fast push left wide.
struct BodyTransform {
    using Type = b2Transform b2Body::*;
    friend Type MemberOf(BodyTransform);
};
template struct PrivateMember<BodyTransform, &b2Body::m_xf>;

struct BodySweep {
    using Type = b2Sweep b2Body::*;
    friend Type MemberOf(BodySweep);
};
template struct PrivateMember<BodySweep, &b2Body::m_sweep>;

const b2Sweep& SweepOf(const b2Body& body) {
    return body.*MemberOf(BodySweep{});
}

bool TakeContacts(const SheetStones& stones, b2World& world, std::vector<SettledContact>& contacts) {
    contacts.clear();
    for (b2Contact* c = world.GetContactList(); c != nullptr; c = c->GetNext()) {
        SettledContact taken;
        taken.stoneA = StoneIndex(stones, c->GetFixtureA()->GetBody());
        taken.stoneB = StoneIndex(stones, c->GetFixtureB()->GetBody());
        if (taken.stoneA < 0 || taken.stoneB < 0) {
            return false;
        }
        taken.manifold = *c->GetManifold();
        taken.flags = c->*MemberOf(ContactFlags{});
        contacts.push_back(taken);
    }
    return true;
}

bool PlaceSettledStones(SheetStones& stones, b2World& world, const PlacedSettling& settled, int step) {
    const StoneProxies proxies = FindStoneProxies(stones, world);
    for (int i = 0; i < settled.state.shotNumber; ++i) {
        b2Body* body = stones.bodies[i];
        if (body == nullptr) {
            continue;
        }
        if (settled.boxesMoved) {
            body->*MemberOf(BodyTransform{}) = settled.transform[i];
            body->*MemberOf(BodySweep{}) = settled.sweep[i];
            body->SetAwake(false);
            const Box tree = TreeBox(world, proxies.ids[i]);
            if (std::memcmp(&tree, &settled.tree[i], sizeof tree) != 0) {
                return false;
            }
            continue;
        }
        const Box before = TreeBox(world, proxies.ids[i]);
        body->SetTransform(b2Vec2(settled.place[i].x, settled.place[i].y), settled.angle[i]);
        const Box after = TreeBox(world, proxies.ids[i]);
        if (std::memcmp(&before, &after, sizeof before) != 0) {
            return false;
        }
        if (settled.inert.inert[i]) {
            SetStillTime(*body, settled.stillTime[i]);
            AdvanceStillTime(*body, step - settled.allAsleepStep);
        } else {
            body->SetAwake(false);
        }
    }
    std::size_t k = 0;
    for (b2Contact* c = world.GetContactList(); c != nullptr; c = c->GetNext(), ++k) {
        if (k == settled.contacts.size()) {
            return false;
        }
        const SettledContact& contact = settled.contacts[k];
        if (StoneIndex(stones, c->GetFixtureA()->GetBody()) != contact.stoneA ||
            StoneIndex(stones, c->GetFixtureB()->GetBody()) != contact.stoneB) {
            return false;
        }
        *c->GetManifold() = contact.manifold;
        c->*MemberOf(ContactFlags{}) = contact.flags;
    }
    return k == settled.contacts.size();
}

}  // namespace physics
