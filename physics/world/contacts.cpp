#include "physics/world/contacts.h"

#include <cassert>
#include <cmath>

namespace physics {

namespace {

void LinkEdge(World& world, int32_t stone, int32_t edge) {
    WorldContact& contact = world.contacts[EdgeContact(edge)];
    const int32_t side = edge & 1;
    int32_t& head = world.stones[stone].edges;
    contact.edgePrev[side] = NullEdge;
    contact.edgeNext[side] = head;
    if (head != NullEdge) {
        world.contacts[EdgeContact(head)].edgePrev[head & 1] = edge;
    }
    head = edge;
}

void UnlinkEdge(World& world, int32_t stone, int32_t edge) {
    const WorldContact& contact = world.contacts[EdgeContact(edge)];
    const int32_t side = edge & 1;
    const int32_t prev = contact.edgePrev[side];
    const int32_t next = contact.edgeNext[side];
    if (prev != NullEdge) {
        world.contacts[EdgeContact(prev)].edgeNext[prev & 1] = next;
    }
    if (next != NullEdge) {
        world.contacts[EdgeContact(next)].edgePrev[next & 1] = prev;
    }
    if (world.stones[stone].edges == edge) {
        world.stones[stone].edges = next;
    }
}

// b2ContactManager::AddPair for the proxies' stones; stone A is the lower proxy's.
void AddPair(World& world, int32_t stoneA, int32_t stoneB) {
    for (int32_t edge = world.stones[stoneB].edges; edge != NullEdge; edge = EdgeNext(world, edge)) {
        if (EdgeOther(world, edge) == stoneA) {
            return;
        }
    }
    assert(world.freeContact != NullContact);
    const int32_t id = world.freeContact;
    WorldContact& contact = world.contacts[id];
    world.freeContact = contact.next;
    contact = WorldContact{};
    contact.stoneA = stoneA;
    contact.stoneB = stoneB;
    contact.next = world.contactList;
    if (world.contactList != NullContact) {
        world.contacts[world.contactList].prev = id;
    }
    world.contactList = id;
    LinkEdge(world, stoneA, 2 * id);
    LinkEdge(world, stoneB, 2 * id + 1);
    ++world.contactCount;
}

// b2Contact::Update with b2CollideCircles: the manifold has its one point while the circles overlap or
// touch; the point keeps its impulses from the last manifold, which had the same (only) point id.
void UpdateContact(World& world, WorldContact& contact) {
    WorldStone& a = world.stones[contact.stoneA];
    WorldStone& b = world.stones[contact.stoneB];
    const bool wasTouching = contact.touching;
    const int32_t oldPointCount = contact.pointCount;
    contact.pointCount = CirclesTouch(a, b) ? 1 : 0;
    if (contact.pointCount > 0 && oldPointCount == 0) {
        contact.normalImpulse = 0.0f;
        contact.tangentImpulse = 0.0f;
    }
    contact.touching = contact.pointCount > 0;
    if (contact.touching != wasTouching) {
        WakeStone(a);
        WakeStone(b);
    }
}

}  // namespace

bool CirclesTouch(const WorldStone& a, const WorldStone& b) {
    const Vec2 d = CircleCentreOf(OriginOf(b.centre, b.angle), b.angle) -
                   CircleCentreOf(OriginOf(a.centre, a.angle), a.angle);
    const float distanceSquared = Dot(d, d);
    const float radius = records::StoneRadius + records::StoneRadius;
    return !(distanceSquared > radius * radius);
}

float MixedFriction() {
    return std::sqrt(StoneFriction * StoneFriction);
}

void FindNewContacts(World& world) {
    ProxyPair pairs[PairCapacity];
    AddPairs(world, pairs, FindNewPairs(world.broadPhase, pairs));
}

void AddPairs(World& world, const ProxyPair* pairs, int count) {
    const FatBoxTree& tree = world.broadPhase.tree;
    for (int k = 0; k < count; ++k) {
        AddPair(world, tree.nodes[pairs[k].proxyA].stone, tree.nodes[pairs[k].proxyB].stone);
    }
}

void DestroyContact(World& world, int32_t id) {
    WorldContact& contact = world.contacts[id];
    if (contact.prev != NullContact) {
        world.contacts[contact.prev].next = contact.next;
    }
    if (contact.next != NullContact) {
        world.contacts[contact.next].prev = contact.prev;
    }
    if (world.contactList == id) {
        world.contactList = contact.next;
    }
    UnlinkEdge(world, contact.stoneA, 2 * id);
    UnlinkEdge(world, contact.stoneB, 2 * id + 1);
    if (contact.pointCount > 0) {
        WakeStone(world.stones[contact.stoneA]);
        WakeStone(world.stones[contact.stoneB]);
    }
    contact.next = world.freeContact;
    world.freeContact = id;
    --world.contactCount;
}

void Collide(World& world) {
    const FatBoxTree& tree = world.broadPhase.tree;
    int32_t id = world.contactList;
    while (id != NullContact) {
        WorldContact& contact = world.contacts[id];
        const int32_t next = contact.next;
        const WorldStone& a = world.stones[contact.stoneA];
        const WorldStone& b = world.stones[contact.stoneB];
        if (!a.awake && !b.awake) {
            id = next;
            continue;
        }
        if (!Overlap(tree.nodes[a.proxy].box, tree.nodes[b.proxy].box)) {
            DestroyContact(world, id);
        } else {
            UpdateContact(world, contact);
        }
        id = next;
    }
}

}  // namespace physics
