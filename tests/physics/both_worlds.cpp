#include "tests/physics/both_worlds.h"

#include "physics/plain/plain_steps.h"
#include "physics/play/play_step.h"
#include "physics/stone_motion.h"
#include "physics/world/fat_box_tree.h"

#include <box2d/box2d.h>

#include <cstring>
#include <map>
#include <sstream>
#include <vector>

namespace testing_worlds {

namespace {

template <typename T>
bool SameBits(const T& a, const T& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool SameBits(float a, float b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool SameBits(const physics::Vec2& a, const b2Vec2& b) {
    return SameBits(a.x, b.x) && SameBits(a.y, b.y);
}

bool SameBits(const physics::Box& a, const b2AABB& b) {
    return SameBits(a.lowerX, b.lowerBound.x) && SameBits(a.lowerY, b.lowerBound.y) &&
           SameBits(a.upperX, b.upperBound.x) && SameBits(a.upperY, b.upperBound.y);
}

int StoneOf(const BothWorlds& both, const b2Body* body) {
    return physics::StoneIndex(both.bodies, body);
}

struct ProxyVisit {
    const b2BroadPhase* broadPhase;
    std::vector<int32_t> order;
    bool QueryCallback(int32_t proxy) {
        order.push_back(proxy);
        return true;
    }
};

std::vector<int32_t> Box2DQueryOrder(const b2BroadPhase& broadPhase) {
    ProxyVisit visit{&broadPhase, {}};
    b2AABB everywhere;
    everywhere.lowerBound.Set(-b2_maxFloat, -b2_maxFloat);
    everywhere.upperBound.Set(b2_maxFloat, b2_maxFloat);
    broadPhase.Query(&visit, everywhere);
    return visit.order;
}

std::string StoneDifference(const BothWorlds& both, int i, const std::map<const b2Body*, int32_t>& proxyOf) {
    const b2Body* body = both.bodies.bodies[i];
    const physics::WorldStone& stone = both.ours.stones[i];
    std::ostringstream out;
    const bool ourPresent = i < both.ours.stoneCount && stone.present;
    if ((body != nullptr) != ourPresent) {
        out << "stone " << i << " present in one world only";
        return out.str();
    }
    if (body == nullptr) {
        return "";
    }
    const b2BroadPhase& broadPhase = both.box2d->GetContactManager().m_broadPhase;
    const int32_t proxy = proxyOf.at(body);
    const char* field = nullptr;
    if (!SameBits(stone.centre, body->GetWorldCenter())) {
        field = "centre";
    } else if (!SameBits(physics::PositionOf(stone), body->GetPosition())) {
        field = "position";
    } else if (!SameBits(stone.angle, body->GetAngle())) {
        field = "angle";
    } else if (!SameBits(stone.velocity, body->GetLinearVelocity())) {
        field = "velocity";
    } else if (!SameBits(stone.spin, body->GetAngularVelocity())) {
        field = "spin";
    } else if (stone.awake != body->IsAwake()) {
        field = "awake";
    } else if (stone.proxy != proxy) {
        field = "proxy id";
    } else if (!SameBits(both.ours.broadPhase.tree.nodes[stone.proxy].box, broadPhase.GetFatAABB(proxy))) {
        field = "fat box";
    }
    if (field != nullptr) {
        out << "stone " << i << ": " << field << " differs (Box2D centre " << body->GetWorldCenter().x << ", "
            << body->GetWorldCenter().y << ", velocity " << body->GetLinearVelocity().x << ", "
            << body->GetLinearVelocity().y << ")";
    }
    return out.str();
}

std::string ContactDifference(const BothWorlds& both, const b2Contact* theirs, int32_t mine) {
    const physics::WorldContact& contact = both.ours.contacts[mine];
    const int a = StoneOf(both, theirs->GetFixtureA()->GetBody());
    const int b = StoneOf(both, theirs->GetFixtureB()->GetBody());
    std::ostringstream out;
    if (a != contact.stoneA || b != contact.stoneB) {
        out << "contact " << a << "-" << b << " against " << contact.stoneA << "-" << contact.stoneB;
    } else if (theirs->IsTouching() != contact.touching || !theirs->IsEnabled()) {
        out << "contact " << a << "-" << b << ": touching differs";
    } else {
        const b2Manifold& manifold = *theirs->GetManifold();
        const bool samePoints = manifold.pointCount == contact.pointCount &&
                                (manifold.pointCount == 0 ||
                                 (SameBits(manifold.points[0].normalImpulse, contact.normalImpulse) &&
                                  SameBits(manifold.points[0].tangentImpulse, contact.tangentImpulse)));
        if (!samePoints) {
            out << "contact " << a << "-" << b << ": manifold differs (Box2D points " << manifold.pointCount;
            if (manifold.pointCount > 0) {
                out << ", impulses " << manifold.points[0].normalImpulse << ", "
                    << manifold.points[0].tangentImpulse << " against " << contact.normalImpulse << ", "
                    << contact.tangentImpulse;
            }
            out << ")";
        }
    }
    return out.str();
}

std::string ListsDifference(const BothWorlds& both) {
    std::vector<int> bodyOrder;
    for (const b2Body* body = both.box2d->GetBodyList(); body != nullptr; body = body->GetNext()) {
        bodyOrder.push_back(StoneOf(both, body));
    }
    std::vector<int> ourOrder;
    for (int32_t i = both.ours.stoneCount - 1; i >= 0; --i) {
        if (both.ours.stones[i].present) {
            ourOrder.push_back(i);
        }
    }
    if (bodyOrder != ourOrder) {
        return "body list differs";
    }
    if (both.box2d->GetContactCount() != both.ours.contactCount) {
        return "contact count differs";
    }
    int32_t mine = both.ours.contactList;
    for (const b2Contact* c = both.box2d->GetContactList(); c != nullptr; c = c->GetNext()) {
        const std::string difference = ContactDifference(both, c, mine);
        if (!difference.empty()) {
            return difference;
        }
        mine = both.ours.contacts[mine].next;
    }
    for (int i = 0; i < both.bodies.count; ++i) {
        const b2Body* body = both.bodies.bodies[i];
        if (body == nullptr) {
            continue;
        }
        int32_t edge = both.ours.stones[i].edges;
        for (const b2ContactEdge* e = body->GetContactList(); e != nullptr; e = e->next) {
            const int32_t contact = physics::EdgeContact(edge);
            if (edge == physics::NullEdge || physics::EdgeOther(both.ours, edge) != StoneOf(both, e->other) ||
                both.ours.contacts[contact].stoneA != StoneOf(both, e->contact->GetFixtureA()->GetBody())) {
                return "contact list of stone " + std::to_string(i) + " differs";
            }
            edge = physics::EdgeNext(both.ours, edge);
        }
        if (edge != physics::NullEdge) {
            return "contact list of stone " + std::to_string(i) + " differs";
        }
    }
    return "";
}

std::string TreeDifference(const BothWorlds& both) {
    const b2BroadPhase& broadPhase = both.box2d->GetContactManager().m_broadPhase;
    const physics::FatBoxTree& tree = both.ours.broadPhase.tree;
    std::vector<int32_t> ours;
    physics::QueryTree(tree, physics::Box{-b2_maxFloat, -b2_maxFloat, b2_maxFloat, b2_maxFloat},
                       [&](int32_t proxy) {
                           ours.push_back(proxy);
                           return true;
                       });
    if (ours != Box2DQueryOrder(broadPhase)) {
        return "tree's query order differs";
    }
    if (physics::TreeHeight(tree) != broadPhase.GetTreeHeight() ||
        physics::TreeMaxBalance(tree) != broadPhase.GetTreeBalance() ||
        !SameBits(physics::TreeAreaRatio(tree), broadPhase.GetTreeQuality())) {
        return "tree's height, balance or area ratio differs";
    }
    return "";
}

// Whether the world lists a contact of the same two stones.
bool Listed(const physics::World& world, const physics::WorldContact& contact) {
    for (int32_t c = world.contactList; c != physics::NullContact; c = world.contacts[c].next) {
        if (world.contacts[c].stoneA == contact.stoneA && world.contacts[c].stoneB == contact.stoneB) {
            return true;
        }
    }
    return false;
}

}  // namespace

BothWorlds::BothWorlds() : box2d(std::make_unique<b2World>(b2Vec2(0.0f, 0.0f))) {
    box2d->SetAllowSleeping(true);
}

BothWorlds::~BothWorlds() = default;

void Start(BothWorlds& both, const records::GameState& state, const records::ShotVector& shot) {
    static_cast<void>(physics::PlaceStones(both.bodies, state, *both.box2d));
    static_cast<void>(physics::ThrowStone(both.bodies, *both.box2d, shot));
    physics::ApplySheetFriction(both.bodies, physics::SpeedLossPerStep * 0.5f);
    both.ours = physics::StartPlay(state, shot);
}

bool Step(BothWorlds& both, bool& oursOver) {
    oursOver = physics::PlayOverAfterStep(both.ours);
    return physics::PlayOverAfterStep(both.bodies, *both.box2d);
}

std::string Difference(const BothWorlds& both) {
    if (both.ours.stoneCount > both.bodies.count) {
        return "more stones in the stone world";
    }
    std::map<const b2Body*, int32_t> proxyOf;
    const b2BroadPhase& broadPhase = both.box2d->GetContactManager().m_broadPhase;
    for (int32_t proxy : Box2DQueryOrder(broadPhase)) {
        const auto* fixtureProxy = static_cast<const b2FixtureProxy*>(broadPhase.GetUserData(proxy));
        proxyOf[fixtureProxy->fixture->GetBody()] = proxy;
    }
    for (int i = 0; i < both.bodies.count; ++i) {
        const std::string difference = StoneDifference(both, i, proxyOf);
        if (!difference.empty()) {
            return difference;
        }
    }
    const std::string lists = ListsDifference(both);
    return lists.empty() ? TreeDifference(both) : lists;
}

std::string PlayBoth(const records::GameState& state, const records::ShotVector& shot, int maxSteps,
                     Tally& tally) {
    BothWorlds both;
    Start(both, state, shot);
    std::string difference = Difference(both);
    if (!difference.empty()) {
        return "after the set-up: " + difference;
    }
    physics::World before = both.ours;
    for (int step = 1; step <= maxSteps; ++step) {
        bool oursOver = false;
        const bool over = Step(both, oursOver);
        difference = Difference(both);
        if (difference.empty() && over != oursOver) {
            difference = "the play ends in one world only";
        }
        if (!difference.empty()) {
            return "after step " + std::to_string(step) + ": " + difference;
        }
        ++tally.steps;
        bool moved = false;
        for (int32_t i = 0; i < both.ours.stoneCount; ++i) {
            const physics::WorldStone& now = both.ours.stones[i];
            const physics::WorldStone& then = before.stones[i];
            tally.stonesRemoved += then.present && !now.present;
            tally.stonesFellAsleep += now.present && then.awake && !now.awake;
            tally.stonesWoken += now.present && !then.awake && now.awake;
            moved = moved || (now.present && !SameBits(both.ours.broadPhase.tree.nodes[now.proxy].box,
                                                       before.broadPhase.tree.nodes[then.proxy].box));
        }
        tally.proxiesMoved += moved;
        for (int32_t c = both.ours.contactList; c != physics::NullContact; c = both.ours.contacts[c].next) {
            tally.touchingContacts += both.ours.contacts[c].touching;
        }
        bool made = false;
        bool ended = false;
        for (int32_t c = both.ours.contactList; c != physics::NullContact; c = both.ours.contacts[c].next) {
            made = made || !Listed(before, both.ours.contacts[c]);
        }
        for (int32_t c = before.contactList; c != physics::NullContact; c = before.contacts[c].next) {
            ended = ended || !Listed(both.ours, before.contacts[c]);
        }
        tally.contactsMade += made;
        tally.contactsEnded += ended;
        before = both.ours;
        if (over) {
            break;
        }
    }
    return "";
}

}  // namespace testing_worlds
