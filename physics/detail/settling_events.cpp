#include "physics/detail/settling_events.h"

#include "physics/detail/hand_over.h"
#include "physics/detail/run_to_rest.h"
#include "physics/detail/world_play.h"
#include "physics/sheet.h"

#include <box2d/box2d.h>

#include <algorithm>
#include <cstring>

namespace physics {

namespace {

b2ContactManager& ContactManagerOf(b2World& world) {
    return const_cast<b2ContactManager&>(world.GetContactManager());
}

bool SameBox(const Box& a, const Box& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

void Widen(Box& reach, const Box& box) {
    reach = Box{std::min(reach.lowerX, box.lowerX), std::min(reach.lowerY, box.lowerY),
                std::max(reach.upperX, box.upperX), std::max(reach.upperY, box.upperY)};
}

// Counts the contacts the pair search makes: the world asks the filter about each just before.
struct MadeContacts : b2ContactFilter {
    int made = 0;
    bool ShouldCollide(b2Fixture* a, b2Fixture* b) override {
        const bool collides = b2ContactFilter::ShouldCollide(a, b);
        made += collides ? 1 : 0;
        return collides;
    }
};

struct Listed {
    const b2Contact* contact = nullptr;
    int stoneA = 0;
    int stoneB = 0;
};

void ListContacts(const SheetStones& stones, b2World& world, std::vector<Listed>& list) {
    list.clear();
    for (const b2Contact* c = world.GetContactList(); c != nullptr; c = c->GetNext()) {
        list.push_back(Listed{c, StoneIndex(stones, c->GetFixtureA()->GetBody()),
                              StoneIndex(stones, c->GetFixtureB()->GetBody())});
    }
}

b2Contact* ContactOf(b2Body* a, const b2Body* b) {
    for (b2ContactEdge* edge = a->GetContactList(); edge != nullptr; edge = edge->next) {
        if (edge->other == b && edge->contact->GetFixtureA()->GetBody() == a) {
            return edge->contact;
        }
    }
    return nullptr;
}

}  // namespace
bool RecordSettlingEvents(PlacedSettling& settled) {
    const records::GameState& state = settled.state;
    const int thrower = state.shotNumber;
    if (settled.inert.count > 0) {
        return false;
    }
    const records::ShotVector draw{0.0f, -29.6f, 0, {}};
    FastPlayScratch scratch;
    HandOverWorld w = StartWorld(state, draw, scratch);
    MadeContacts made;
    w.world->SetContactFilter(&made);
    const StoneProxies proxies = FindStoneProxies(w.stones, *w.world);
    if (w.world->GetBodyList() != w.stones.bodies[thrower]) {
        return false;
    }
    std::vector<Listed> before;
    std::vector<Listed> after;
    settled.events.clear();
    settled.reach = Box{b2_maxFloat, b2_maxFloat, -b2_maxFloat, -b2_maxFloat};
    for (int i = 0; i < thrower; ++i) {
        if (w.stones.bodies[i] != nullptr) {
            Widen(settled.reach, TreeBox(*w.world, proxies.ids[i]));
        }
    }
    for (int step = 1; step <= settled.allAsleepStep; ++step) {
        Box boxes[records::StoneCount];
        for (int i = 0; i < thrower; ++i) {
            if (w.stones.bodies[i] != nullptr) {
                boxes[i] = TreeBox(*w.world, proxies.ids[i]);
            }
        }
        made.made = 0;
        if (PlayStep(w.stones, *w.world) || w.stones.bodies[thrower] == nullptr) {
            return false;
        }
        ListContacts(w.stones, *w.world, after);
        const std::size_t madeCount = static_cast<std::size_t>(made.made);
        if (madeCount > after.size()) {
            return false;
        }
        for (const Listed& listed : after) {
            if (listed.stoneA < 0 || listed.stoneB < 0 || listed.stoneA == thrower ||
                listed.stoneB == thrower) {
                return false;
            }
        }
        bool allAsleep = true;
        for (int i = 0; i < thrower; ++i) {
            const bool placed = ClassifyStonePosition(state.stones[i].x, state.stones[i].y).inPlay;
            if ((w.stones.bodies[i] != nullptr) != placed) {
                return false;
            }
            allAsleep = allAsleep && (!placed || !w.stones.bodies[i]->IsAwake());
        }
        if (allAsleep != (step == settled.allAsleepStep)) {
            return false;
        }
        for (int i = 0; i < thrower; ++i) {
            if (w.stones.bodies[i] != nullptr) {
                Widen(settled.reach, TreeBox(*w.world, proxies.ids[i]));
            }
        }
        if (step == 1) {
            settled.firstStepContacts.clear();
            for (const Listed& listed : after) {
                settled.firstStepContacts.push_back(SettledContact{listed.stoneA, listed.stoneB, {}, 0});
            }
            for (int i = 0; i < thrower; ++i) {
                if (w.stones.bodies[i] != nullptr) {
                    settled.firstStepTree[i] = TreeBox(*w.world, proxies.ids[i]);
                }
            }
            before.swap(after);
            continue;
        }
        // The contacts made this step lead the list; of the others, those missing ended.
        for (const Listed& old : before) {
            const auto kept =
                std::find_if(after.begin() + static_cast<std::ptrdiff_t>(madeCount), after.end(),
                             [&](const Listed& now) { return now.contact == old.contact; });
            if (kept == after.end()) {
                settled.events.push_back(
                    SettlingEvent{step, SettlingEventKind::ContactEnds, old.stoneA, old.stoneB, {}});
            }
        }
        for (const b2Body* body = w.world->GetBodyList(); body != nullptr; body = body->GetNext()) {
            const int i = StoneIndex(w.stones, body);
            if (i == thrower || SameBox(boxes[i], TreeBox(*w.world, proxies.ids[i]))) {
                continue;
            }
            // A stone put to sleep in this step is synchronized where it lies.
            const b2Vec2& to = body->GetPosition();
            const b2Vec2 from = body->IsAwake() ? SweepOf(*body).c0 : to;
            settled.events.push_back(SettlingEvent{step, SettlingEventKind::ProxyMoves, i, 0,
                                                   SweptMove(step, from.x, from.y, to.x, to.y)});
        }
        for (std::size_t k = madeCount; k-- > 0;) {
            settled.events.push_back(
                SettlingEvent{step, SettlingEventKind::ContactStarts, after[k].stoneA, after[k].stoneB, {}});
        }
        before.swap(after);
    }
    for (int i = 0; i < thrower; ++i) {
        const b2Body* body = w.stones.bodies[i];
        if (body != nullptr) {
            settled.transform[i] = body->GetTransform();
            settled.sweep[i] = SweepOf(*body);
            settled.tree[i] = TreeBox(*w.world, proxies.ids[i]);
        }
    }
    w.world->SetContactFilter(nullptr);
    settled.boxesMoved = true;
    return TakeContacts(w.stones, *w.world, settled.contacts);
}

bool ReplaySettlingEvents(SheetStones& stones, b2World& world, const PlacedSettling& settled,
                          const std::vector<ProxyMove>& delivered) {
    const int thrower = settled.state.shotNumber;
    const StoneProxies proxies = FindStoneProxies(stones, world);
    std::size_t k = 0;
    for (const b2Contact* c = world.GetContactList(); c != nullptr; c = c->GetNext(), ++k) {
        if (k == settled.firstStepContacts.size() ||
            StoneIndex(stones, c->GetFixtureA()->GetBody()) != settled.firstStepContacts[k].stoneA ||
            StoneIndex(stones, c->GetFixtureB()->GetBody()) != settled.firstStepContacts[k].stoneB) {
            return false;
        }
    }
    if (k != settled.firstStepContacts.size()) {
        return false;
    }
    for (int i = 0; i < thrower; ++i) {
        if (stones.bodies[i] != nullptr &&
            !SameBox(TreeBox(world, proxies.ids[i]), settled.firstStepTree[i])) {
            return false;
        }
    }
    b2ContactManager& manager = ContactManagerOf(world);
    std::size_t at = 0;
    std::size_t next = 0;
    while (next < delivered.size() && delivered[next].step < 2) {
        ++next;
    }
    for (int step = 2; step <= settled.allAsleepStep; ++step) {
        for (; at < settled.events.size() && settled.events[at].step == step &&
               settled.events[at].kind == SettlingEventKind::ContactEnds;
             ++at) {
            const SettlingEvent& event = settled.events[at];
            b2Contact* contact = ContactOf(stones.bodies[event.stoneA], stones.bodies[event.stoneB]);
            if (contact == nullptr) {
                return false;
            }
            manager.Destroy(contact);
        }
        // The delivered stone, thrown last, leads the body list.
        for (; next < delivered.size() && delivered[next].step == step; ++next) {
            ReplayProxyMove(world, proxies.ids[thrower], delivered[next]);
        }
        for (; at < settled.events.size() && settled.events[at].step == step &&
               settled.events[at].kind == SettlingEventKind::ProxyMoves;
             ++at) {
            ReplayProxyMove(world, proxies.ids[settled.events[at].stoneA], settled.events[at].move);
        }
        const int32 count = world.GetContactCount();
        manager.FindNewContacts();
        const b2Contact* made = world.GetContactList();
        std::size_t expected = 0;
        while (at + expected < settled.events.size() && settled.events[at + expected].step == step) {
            ++expected;
        }
        if (world.GetContactCount() - count != static_cast<int32>(expected)) {
            return false;
        }
        // Newest first in the list, so the step's last event matches the head.
        for (std::size_t e = expected; e-- > 0; made = made->GetNext()) {
            const SettlingEvent& event = settled.events[at + e];
            if (event.kind != SettlingEventKind::ContactStarts ||
                StoneIndex(stones, made->GetFixtureA()->GetBody()) != event.stoneA ||
                StoneIndex(stones, made->GetFixtureB()->GetBody()) != event.stoneB) {
                return false;
            }
        }
        at += expected;
    }
    return at == settled.events.size();
}

}  // namespace physics
