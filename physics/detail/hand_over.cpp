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

MoverState StateOf(const b2Body& body) {
    const b2Vec2& position = body.GetPosition();
    const b2Vec2& v = body.GetLinearVelocity();
    return MoverState{position.x, position.y, body.GetAngle(), v.x, v.y, body.GetAngularVelocity()};
}

Box TreeBox(b2World& world, int32_t proxyId) {
    const b2AABB& box = ContactManagerOf(world).m_broadPhase.GetFatAABB(proxyId);
    return Box{box.lowerBound.x, box.lowerBound.y, box.upperBound.x, box.upperBound.y};
}

void ReplayProxyMove(b2World& world, int32_t proxyId, const ProxyMove& move) {
    b2AABB box;
    box.lowerBound.Set(move.box.lowerX, move.box.lowerY);
    box.upperBound.Set(move.box.upperX, move.box.upperY);
    ContactManagerOf(world).m_broadPhase.MoveProxy(proxyId, box, b2Vec2(move.dx, move.dy));
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
        ReplayProxyMove(world, proxyId, move);
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

bool GroupSetupOf(const SheetStones& stones, b2World& world, const StoneProxies& proxies,
                  const InertStones& inert, int step, GroupRunSetup& setup) {
    setup.count = stones.count;
    setup.startStep = step;
    int movers = 0;
    for (int i = 0; i < stones.count; ++i) {
        const b2Body* body = stones.bodies[i];
        GroupStone& stone = setup.stones[i];
        stone = GroupStone{};
        if (body == nullptr) {
            continue;
        }
        stone.present = true;
        stone.state = StateOf(*body);
        stone.tree = TreeBox(world, proxies.ids[i]);
        if (inert.inert[i]) {
            stone.role = GroupRole::Inert;
            continue;
        }
        stone.role = body->IsAwake() ? GroupRole::Mover : GroupRole::Still;
        stone.awake = body->IsAwake();
        for (const b2ContactEdge* edge = body->GetContactList(); edge != nullptr; edge = edge->next) {
            if (stone.awake && edge->contact->IsTouching()) {
                return false;
            }
            stone.removable = stone.removable && edge->contact->GetManifold()->pointCount == 0;
        }
        if (stone.awake) {
            stone.sleepTime = StillTime(*body);
            ++movers;
        }
    }
    return movers > 0;
}

bool CatchUpGroup(b2World& world, SheetStones& stones, const StoneProxies& proxies,
                  const std::vector<GroupEvent>& events, int fromStep, const GroupRunResult& handOver) {
    b2ContactManager& manager = ContactManagerOf(world);
    // Contacts change only where boxes moved, so the first step after a move brings them up to date and
    // the steps after it, alike, would change nothing.
    bool boxesMoved = false;
    int step = fromStep;
    for (std::size_t at = 0; at < events.size();) {
        step = events[at].step;
        if (boxesMoved && world.GetContactCount() > 0) {
            manager.Collide();
        }
        boxesMoved = false;
        for (; at < events.size() && events[at].step == step && events[at].kind != GroupEventKind::Removed;
             ++at) {
            const GroupEvent& event = events[at];
            if (event.kind == GroupEventKind::FallsAsleep) {
                stones.bodies[event.stone]->SetAwake(false);
                continue;
            }
            ReplayProxyMove(world, proxies.ids[event.stone], event.move);
            boxesMoved = true;
        }
        if (boxesMoved) {
            manager.FindNewContacts();
        }
        for (; at < events.size() && events[at].step == step; ++at) {
            world.DestroyBody(stones.bodies[events[at].stone]);
            stones.bodies[events[at].stone] = nullptr;
        }
    }
    if (boxesMoved && step < handOver.step && world.GetContactCount() > 0) {
        manager.Collide();
    }
    for (int i = 0; i < stones.count; ++i) {
        const GroupStone& stone = handOver.stones[i];
        b2Body* body = stones.bodies[i];
        if (body == nullptr || !stone.present) {
            if ((body == nullptr) != !stone.present) {
                return false;
            }
            continue;
        }
        if (stone.role == GroupRole::Inert) {
            AdvanceStillTime(*body, handOver.step - fromStep);
        }
        if (stone.role != GroupRole::Mover) {
            continue;
        }
        if (!SameBox(stone.tree, manager.m_broadPhase.GetFatAABB(proxies.ids[i]))) {
            return false;
        }
        const MoverState& state = stone.state;
        body->SetTransform(b2Vec2(state.x, state.y), state.angle);
        if (stone.awake) {
            body->SetLinearVelocity(b2Vec2(state.vx, state.vy));
            body->SetAngularVelocity(state.spin);
            SetStillTime(*body, stone.sleepTime);
        }
        if (body->IsAwake() != stone.awake ||
            !SameBox(stone.tree, manager.m_broadPhase.GetFatAABB(proxies.ids[i]))) {
            return false;
        }
    }
    return true;
}

}  // namespace physics
