#include "physics/detail/hand_over.h"

#include <box2d/box2d.h>

#include <cstring>

namespace physics {

namespace {

// Box2D lets a caller move a body only through SetTransform, which re-inserts its proxy with a box of
// its own choosing. Replaying the world's re-insertions needs the broad phase itself, which the world
// shows only read-only although it is an ordinary mutable member.
b2ContactManager& ContactManagerOf(b2World& world) {
    return const_cast<b2ContactManager&>(world.GetContactManager());
}

struct ProxyCollector {
    const b2BroadPhase* broadPhase = nullptr;
    const SheetStones* stones = nullptr;
    StoneProxies* proxies = nullptr;

    bool QueryCallback(int32 proxyId) {
        const auto* proxy = static_cast<const b2FixtureProxy*>(broadPhase->GetUserData(proxyId));
        const b2Body* body = proxy->fixture->GetBody();
        for (int i = 0; i < stones->count; ++i) {
            if (stones->bodies[i] == body) {
                proxies->ids[i] = proxyId;
            }
        }
        return true;
    }
};

bool SameBox(const Box& a, const b2AABB& b) {
    const Box other{b.lowerBound.x, b.lowerBound.y, b.upperBound.x, b.upperBound.y};
    return std::memcmp(&a, &other, sizeof a) == 0;
}

}  // namespace

StoneProxies FindStoneProxies(const SheetStones& stones, b2World& world) {
    StoneProxies proxies;
    for (int32_t& id : proxies.ids) {
        id = -1;
    }
    const b2BroadPhase& broadPhase = ContactManagerOf(world).m_broadPhase;
    ProxyCollector collector{&broadPhase, &stones, &proxies};
    b2AABB everywhere;
    everywhere.lowerBound.Set(-b2_maxFloat, -b2_maxFloat);
    everywhere.upperBound.Set(b2_maxFloat, b2_maxFloat);
    broadPhase.Query(&collector, everywhere);
    return proxies;
}

Box TreeBox(b2World& world, int32_t proxyId) {
    const b2AABB& box = ContactManagerOf(world).m_broadPhase.GetFatAABB(proxyId);
    return Box{box.lowerBound.x, box.lowerBound.y, box.upperBound.x, box.upperBound.y};
}

bool TreeBoxesOverlap(b2World& world, int32_t proxyA, int32_t proxyB) {
    return ContactManagerOf(world).m_broadPhase.TestOverlap(proxyA, proxyB);
}

bool CatchUpMover(b2World& world, b2Body* mover, int32_t proxyId, const std::vector<ProxyMove>& moves,
                  int fromStep, const LoneRunResult& handOver) {
    b2ContactManager& manager = ContactManagerOf(world);
    const int32 contactCount = world.GetContactCount();
    for (const ProxyMove& move : moves) {
        if (move.step <= fromStep || move.step > handOver.step) {
            continue;
        }
        b2AABB box;
        box.lowerBound.Set(move.box.lowerX, move.box.lowerY);
        box.upperBound.Set(move.box.upperX, move.box.upperY);
        manager.m_broadPhase.MoveProxy(proxyId, box, b2Vec2(move.dx, move.dy));
        manager.FindNewContacts();
    }
    if (world.GetContactCount() != contactCount ||
        !SameBox(handOver.treeBox, manager.m_broadPhase.GetFatAABB(proxyId))) {
        return false;
    }
    const MoverState& state = handOver.state;
    if (mover->GetAngularVelocity() != state.spin) {
        return false;
    }
    mover->SetTransform(b2Vec2(state.x, state.y), state.angle);
    mover->SetLinearVelocity(b2Vec2(state.vx, state.vy));
    return SameBox(handOver.treeBox, manager.m_broadPhase.GetFatAABB(proxyId));
}

}  // namespace physics
