#include "physics/play/quiet_steps.h"

#include "physics/play/lone_step.h"
#include "physics/play/still_world.h"
#include "physics/world/contacts.h"
#include "physics/world/integration.h"

#include <algorithm>
#include <cmath>

namespace physics {

namespace {

constexpr int NeverSleeps = MaxPlaySteps + 1;

struct StillIsland {
    int32_t stones[WorldStoneCapacity];
    int32_t count = 0;
    int sleepStep = NeverSleeps;  // the step in which it falls asleep
};

// What the quiet steps know of the world's stones.
struct QuietPlan {
    bool mover[WorldStoneCapacity] = {};  // awake without a touching contact: its own island
    bool still[WorldStoneCapacity] = {};  // awake in a still island
    int32_t movers[WorldStoneCapacity];   // in body order, the newest first
    int32_t moverCount = 0;
    StillIsland islands[WorldStoneCapacity];
    int32_t islandCount = 0;
    int nextIslandSleep = NeverSleeps;
    int countedStep = 0;   // the still stones' time held still is counted up to this step
    int32_t scanFrom = 0;  // every stone below sleeps on the sheet
};

bool HasTouchingContact(const World& world, int32_t i) {
    for (int32_t edge = world.stones[i].edges; edge != NullEdge; edge = EdgeNext(world, edge)) {
        if (world.contacts[EdgeContact(edge)].touching) {
            return true;
        }
    }
    return false;
}

// The steps after which a stone that has held still for `sleepTime` has held still long enough to sleep.
int StepsUntilSleep(float sleepTime) {
    int steps = 0;
    for (; sleepTime < TimeToSleep; ++steps) {
        sleepTime += TimeStep;
    }
    return steps;
}

void CollectIsland(const World& world, QuietPlan& plan, StillIsland& island, bool* seen, int32_t i) {
    seen[i] = true;
    island.stones[island.count++] = i;
    for (int32_t edge = world.stones[i].edges; edge != NullEdge; edge = EdgeNext(world, edge)) {
        const int32_t other = EdgeOther(world, edge);
        if (world.contacts[EdgeContact(edge)].touching && !seen[other]) {
            CollectIsland(world, plan, island, seen, other);
        }
    }
}

// The still islands, and the step in which each falls asleep: once its least rested stone has rested
// long enough, when its position solve finished early (it repeats its answer, so one that did not never
// sleeps).
void GatherIslands(const World& world, int step, QuietPlan& plan) {
    bool seen[WorldStoneCapacity] = {};
    for (int32_t i = 0; i < world.stoneCount; ++i) {
        if (!plan.still[i] || seen[i]) {
            continue;
        }
        StillIsland& island = plan.islands[plan.islandCount++];
        island = StillIsland{};
        CollectIsland(world, plan, island, seen, i);
        float least = world.stones[i].sleepTime;
        for (int32_t k = 0; k < island.count; ++k) {
            least = Min(least, world.stones[island.stones[k]].sleepTime);
        }
        island.sleepStep = world.stones[i].islandSolved ? step + StepsUntilSleep(least) : NeverSleeps;
        plan.nextIslandSleep = std::min(plan.nextIslandSleep, island.sleepStep);
    }
}

// False when some awake stone neither moves alone nor stands in a still island, or when the scan could
// come to remove a stone with a touching contact, whose end would wake the other (it never passes a
// still island that never sleeps).
bool PlanQuietSteps(const World& world, const World* previous, int step, QuietPlan& plan) {
    if (world.newContacts) {
        return false;
    }
    int32_t barrier = world.stoneCount;
    for (int32_t i = 0; i < world.stoneCount; ++i) {
        const WorldStone& stone = world.stones[i];
        if (!stone.present || !stone.awake) {
            continue;
        }
        plan.still[i] = previous != nullptr && RepeatsStill(world, *previous, i);
        plan.mover[i] = !plan.still[i] && !HasTouchingContact(world, i);
        if (!plan.mover[i] && !plan.still[i]) {
            return false;
        }
        if (plan.still[i] && !stone.islandSolved && barrier == world.stoneCount) {
            barrier = i;
        }
    }
    for (int32_t i = 0; i < barrier; ++i) {
        const WorldStone& stone = world.stones[i];
        if (stone.present && HasTouchingContact(world, i) && StoneOffSheet(PositionOf(stone))) {
            return false;
        }
    }
    // A still island holds only still stones: a touching contact with anything else would move it.
    for (int32_t i = 0; i < world.stoneCount; ++i) {
        for (int32_t edge = world.stones[i].edges; plan.still[i] && edge != NullEdge;
             edge = EdgeNext(world, edge)) {
            if (world.contacts[EdgeContact(edge)].touching && !plan.still[EdgeOther(world, edge)]) {
                return false;
            }
        }
    }
    for (int32_t i = world.stoneCount - 1; i >= 0; --i) {
        if (plan.mover[i]) {
            plan.movers[plan.moverCount++] = i;
        }
    }
    plan.countedStep = step;
    GatherIslands(world, step, plan);
    return true;
}

// The still stones' time held still, counted up to `step`: a step at a time, as the island solve adds it.
void CountStillTime(World& world, QuietPlan& plan, int step) {
    for (int32_t k = 0; k < plan.islandCount; ++k) {
        const StillIsland& island = plan.islands[k];
        for (int32_t m = 0; m < island.count; ++m) {
            WorldStone& stone = world.stones[island.stones[m]];
            if (plan.still[island.stones[m]]) {
                for (int at = plan.countedStep; at < step; ++at) {
                    stone.sleepTime += TimeStep;
                }
            }
        }
    }
    plan.countedStep = step;
}

// The still islands due to fall asleep in `step`, their time held still counted first.
void SleepStillIslands(World& world, QuietPlan& plan, int step) {
    if (step != plan.nextIslandSleep) {
        return;
    }
    CountStillTime(world, plan, step);
    plan.nextIslandSleep = NeverSleeps;
    for (int32_t k = 0; k < plan.islandCount; ++k) {
        const StillIsland& island = plan.islands[k];
        if (island.sleepStep == step) {
            for (int32_t m = 0; m < island.count; ++m) {
                PutStoneToSleep(world.stones[island.stones[m]]);
                plan.still[island.stones[m]] = false;
            }
        } else if (island.sleepStep > step) {
            plan.nextIslandSleep = std::min(plan.nextIslandSleep, island.sleepStep);
        }
    }
}

// b2ContactManager::Collide for the contacts that a lone stone's motion can change (the others repeat
// themselves or sleep): false, changing nothing, when one of them would start to touch, which makes the
// step the world's own; otherwise the contacts whose fat boxes parted are destroyed in the world's order
// (none touched, so nobody wakes) and the rest stay as they are, not touching.
bool UpdateMoverContacts(World& world, const QuietPlan& plan) {
    const FatBoxTree& tree = world.broadPhase.tree;
    bool anyParted = false;
    for (int32_t k = 0; k < plan.moverCount; ++k) {
        const WorldStone& mover = world.stones[plan.movers[k]];
        for (int32_t edge = mover.edges; mover.present && mover.awake && edge != NullEdge;
             edge = EdgeNext(world, edge)) {
            const WorldStone& other = world.stones[EdgeOther(world, edge)];
            if (!Overlap(tree.nodes[mover.proxy].box, tree.nodes[other.proxy].box)) {
                anyParted = true;
            } else if (CirclesTouch(mover, other)) {
                return false;
            }
        }
    }
    for (int32_t c = world.contactList; anyParted && c != NullContact;) {
        const WorldContact& contact = world.contacts[c];
        const int32_t next = contact.next;
        const WorldStone& a = world.stones[contact.stoneA];
        const WorldStone& b = world.stones[contact.stoneB];
        if (((plan.mover[contact.stoneA] && a.awake) || (plan.mover[contact.stoneB] && b.awake)) &&
            !Overlap(tree.nodes[a.proxy].box, tree.nodes[b.proxy].box)) {
            DestroyContact(world, c);
        }
        c = next;
    }
    return true;
}

// The scan from where it last stopped. True when it passed the last stone: the play is over.
bool PlayOverAfterScanOn(World& world, QuietPlan& plan) {
    for (; plan.scanFrom < world.stoneCount; ++plan.scanFrom) {
        WorldStone& stone = world.stones[plan.scanFrom];
        if (!stone.present) {
            continue;
        }
        if (StoneOffSheet(PositionOf(stone))) {
            DestroyStone(world, plan.scanFrom);
            plan.still[plan.scanFrom] = false;
            continue;
        }
        if (stone.awake) {
            return false;
        }
    }
    return true;
}

// A lone stone that no step moves any more: stopped without spin, its fat box kept for a sweep that
// stands, and neither its centre nor its angle a negative zero (a step adds positive zeros to both).
// Its steps only count its time held still, until it falls asleep.
bool Parked(const World& world, int32_t i) {
    const WorldStone& stone = world.stones[i];
    return stone.velocity.x == 0.0f && stone.velocity.y == 0.0f && stone.spin == 0.0f &&
           !std::signbit(stone.centre.x) && !std::signbit(stone.centre.y) && !std::signbit(stone.angle) &&
           FatBoxKeeps(world.broadPhase.tree.nodes[stone.proxy].box, StoneBoxAt(stone.centre),
                       Vec2{0.0f, 0.0f});
}

// Whether some lone stone is awake and not parked.
bool AnyMoving(const World& world, const QuietPlan& plan) {
    for (int32_t k = 0; k < plan.moverCount; ++k) {
        const WorldStone& stone = world.stones[plan.movers[k]];
        if (stone.present && stone.awake && !Parked(world, plan.movers[k])) {
            return true;
        }
    }
    return false;
}

// The rest of a play in which nothing moves any more: stones only fall asleep, each island in its step,
// and the scan goes on where they let it; the steps in between change nothing and are skipped.
void FastForward(World& world, QuietPlan& plan, int& step) {
    while (step < MaxPlaySteps) {
        int next = plan.nextIslandSleep;
        for (int32_t k = 0; k < plan.moverCount; ++k) {
            const WorldStone& stone = world.stones[plan.movers[k]];
            if (stone.present && stone.awake) {
                next = std::min(next, step + StepsUntilSleep(stone.sleepTime));
            }
        }
        if (next > MaxPlaySteps) {
            step = MaxPlaySteps;
            return;
        }
        for (int32_t k = 0; k < plan.moverCount; ++k) {
            WorldStone& stone = world.stones[plan.movers[k]];
            for (int at = step; stone.present && stone.awake && at < next; ++at) {
                stone.sleepTime += TimeStep;
            }
            if (stone.present && stone.awake && stone.sleepTime >= TimeToSleep) {
                PutStoneToSleep(stone);
            }
        }
        step = next;
        SleepStillIslands(world, plan, step);
        if (PlayOverAfterScanOn(world, plan)) {
            return;
        }
    }
}

// The one awake stone, when it moves alone and the scan stops at it; -1 otherwise.
int32_t LoneMover(const World& world, const QuietPlan& plan) {
    if (plan.scanFrom >= world.stoneCount || !plan.mover[plan.scanFrom] ||
        plan.nextIslandSleep != NeverSleeps) {
        return -1;
    }
    for (int32_t i = plan.scanFrom + 1; i < world.stoneCount; ++i) {
        if (world.stones[i].present && world.stones[i].awake) {
            return -1;
        }
    }
    return plan.scanFrom;
}

// The quiet steps of a lone stone among sleeping ones, in a tight loop: false when one of its contacts
// is about to touch or it stands parked, true when the play ended or reached the step cap.
bool LoneSteps(World& world, QuietPlan& plan, int32_t mover, int& step) {
    WorldStone& stone = world.stones[mover];
    FatBoxTree& tree = world.broadPhase.tree;
    while (step < MaxPlaySteps) {
        if (stone.edges != NullEdge && !UpdateMoverContacts(world, plan)) {
            return false;
        }
        ++step;
        Box fatBox = tree.nodes[stone.proxy].box;
        if (StepStoneAlone(stone, fatBox)) {
            ReinsertLeaf(tree, stone.proxy, fatBox);
            BufferMove(world.broadPhase, stone.proxy);
            FindNewContacts(world);
        }
        if (!stone.awake || StoneOffSheet(PositionOf(stone))) {
            return PlayOverAfterScanOn(world, plan);
        }
        if (stone.velocity.x == 0.0f && stone.velocity.y == 0.0f && Parked(world, mover)) {
            return false;
        }
    }
    return true;
}

// One quiet step, the movers' contacts already brought up to date. Each lone stone takes its whole step
// in turn, in body order: its island solve, proxy update and friction touch nothing of another's, and
// the proxies move in the order the world moves them; the pair search waits for all of them. True when
// the play is over.
bool QuietStep(World& world, QuietPlan& plan, int step) {
    FatBoxTree& tree = world.broadPhase.tree;
    for (int32_t k = 0; k < plan.moverCount; ++k) {
        WorldStone& stone = world.stones[plan.movers[k]];
        if (!stone.present || !stone.awake) {
            continue;
        }
        Box fatBox = tree.nodes[stone.proxy].box;
        if (StepStoneAlone(stone, fatBox)) {
            ReinsertLeaf(tree, stone.proxy, fatBox);
            BufferMove(world.broadPhase, stone.proxy);
        }
    }
    SleepStillIslands(world, plan, step);
    if (world.broadPhase.moveCount > 0) {
        FindNewContacts(world);
    }
    return PlayOverAfterScanOn(world, plan);
}

// Whether some lone stone is awake and moving, at a glance: a stopped one may still be parked or not.
bool AnyMovingAtAGlance(const World& world, const QuietPlan& plan) {
    for (int32_t k = 0; k < plan.moverCount; ++k) {
        const WorldStone& stone = world.stones[plan.movers[k]];
        if (stone.present && stone.awake &&
            (stone.velocity.x != 0.0f || stone.velocity.y != 0.0f || stone.spin != 0.0f)) {
            return true;
        }
    }
    return AnyMoving(world, plan);
}

QuietEnd QuietLoop(World& world, QuietPlan& plan, int& step) {
    const int start = step;
    while (step < MaxPlaySteps) {
        if (!AnyMovingAtAGlance(world, plan)) {
            FastForward(world, plan, step);
            return QuietEnd::PlayOver;
        }
        const int32_t mover = LoneMover(world, plan);
        if (mover >= 0) {
            if (LoneSteps(world, plan, mover, step)) {
                return QuietEnd::PlayOver;
            }
            if (world.stones[mover].present && Parked(world, mover)) {
                continue;
            }
            return step > start ? QuietEnd::Stepped : QuietEnd::NotQuiet;
        }
        if (!UpdateMoverContacts(world, plan)) {
            return step > start ? QuietEnd::Stepped : QuietEnd::NotQuiet;
        }
        ++step;
        if (QuietStep(world, plan, step)) {
            return QuietEnd::PlayOver;
        }
    }
    return QuietEnd::PlayOver;
}

}  // namespace

QuietEnd RunQuietSteps(World& world, const World* previous, int& step) {
    QuietPlan plan;
    if (!PlanQuietSteps(world, previous, step, plan)) {
        return QuietEnd::NotQuiet;
    }
    static_cast<void>(PlayOverAfterScanOn(world, plan));
    const QuietEnd end = QuietLoop(world, plan, step);
    CountStillTime(world, plan, step);
    return end;
}

}  // namespace physics
