#include "physics/play/still_world.h"

#include "physics/world/integration.h"

#include <cstring>

namespace physics {

namespace {

template <typename T>
bool SameBits(const T& a, const T& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool SameStoneState(const World& worldA, const WorldStone& a, const World& worldB, const WorldStone& b) {
    return a.present && b.present && a.awake && b.awake && SameBits(a.centre, b.centre) &&
           SameBits(a.angle, b.angle) && SameBits(a.velocity, b.velocity) && SameBits(a.spin, b.spin) &&
           a.islandSolved == b.islandSolved && a.proxy == b.proxy &&
           SameBits(worldA.broadPhase.tree.nodes[a.proxy].box, worldB.broadPhase.tree.nodes[b.proxy].box);
}

bool SameContactState(const WorldContact& a, const WorldContact& b) {
    return a.stoneA == b.stoneA && a.stoneB == b.stoneB && a.touching == b.touching &&
           a.pointCount == b.pointCount &&
           (a.pointCount == 0 ||
            (SameBits(a.normalImpulse, b.normalImpulse) && SameBits(a.tangentImpulse, b.tangentImpulse)));
}

}  // namespace

bool RepeatsStill(const World& world, const World& previous, int32_t i) {
    const WorldStone& stone = world.stones[i];
    if (!(stone.velocity.x == 0.0f && stone.velocity.y == 0.0f && stone.spin == 0.0f) ||
        !SameStoneState(world, stone, previous, previous.stones[i])) {
        return false;
    }
    for (int32_t edge = stone.edges; edge != NullEdge; edge = EdgeNext(world, edge)) {
        const int32_t c = EdgeContact(edge);
        if (world.contacts[c].touching && !SameContactState(world.contacts[c], previous.contacts[c])) {
            return false;
        }
    }
    return true;
}

namespace {

bool StandsStillOffTheAxes(const WorldStone& stone) {
    return stone.velocity.x == 0.0f && stone.velocity.y == 0.0f && stone.spin == 0.0f &&
           stone.centre.x != 0.0f && stone.centre.y != 0.0f &&
           (!stone.awake || stone.sleepTime >= TimeToSleep);
}

bool SameStanding(const WorldStone& a, const WorldStone& b) {
    return a.present == b.present && (!a.present || (a.awake == b.awake && SameBits(a.centre, b.centre) &&
                                                     StandsStillOffTheAxes(a) && StandsStillOffTheAxes(b)));
}

}  // namespace

bool RepeatsEveryTwoSteps(const World& now, const World& previous, const World& twoBack) {
    if (now.stoneCount != twoBack.stoneCount || now.contactCount != twoBack.contactCount) {
        return false;
    }
    for (int32_t i = 0; i < now.stoneCount; ++i) {
        const WorldStone& stone = now.stones[i];
        if (!SameStanding(stone, previous.stones[i]) || !SameStanding(stone, twoBack.stones[i]) ||
            (stone.present && stone.proxy != twoBack.stones[i].proxy) ||
            (stone.present && !SameBits(now.broadPhase.tree.nodes[stone.proxy].box,
                                        twoBack.broadPhase.tree.nodes[stone.proxy].box))) {
            return false;
        }
    }
    int32_t c = now.contactList;
    int32_t d = twoBack.contactList;
    for (; c != NullContact && d != NullContact; c = now.contacts[c].next, d = twoBack.contacts[d].next) {
        if (c != d || !SameContactState(now.contacts[c], twoBack.contacts[d])) {
            return false;
        }
    }
    return c == d;
}

}  // namespace physics
