#include "physics/play/settling.h"

#include "physics/play/lone_step.h"
#include "physics/play/play_step.h"
#include "physics/play/quiet_steps.h"
#include "physics/play/still_world.h"

#include <algorithm>
#include <cstring>

namespace physics {

namespace {

// Whether every placed stone sleeps or stands in a still island that the last step repeated, and the
// delivery has no contact.
bool PlacedSettled(const World& world, const World& before, int32_t thrower) {
    if (world.stones[thrower].edges != NullEdge) {
        return false;
    }
    for (int32_t i = 0; i < thrower; ++i) {
        const WorldStone& stone = world.stones[i];
        if (!stone.present || !stone.awake) {
            continue;
        }
        if (!RepeatsStill(world, before, i)) {
            return false;
        }
        for (int32_t edge = stone.edges; edge != NullEdge; edge = EdgeNext(world, edge)) {
            const int32_t other = EdgeOther(world, edge);
            if (world.contacts[EdgeContact(edge)].touching &&
                (!world.stones[other].awake || !RepeatsStill(world, before, other))) {
                return false;
            }
        }
    }
    return true;
}

void Widen(Box& reach, const Box& box) {
    reach = Combine(reach, box);
}

bool SamePairs(const ProxyPair* a, const ProxyPair* b, int count) {
    for (int k = 0; k < count; ++k) {
        if (a[k].proxyA != b[k].proxyA || a[k].proxyB != b[k].proxyB) {
            return false;
        }
    }
    return true;
}

// One step of a play's replay: the delivery's own step and proxy move, the placed stones' recorded moves
// after it (the newest body's proxy moves first), the pair search checked, the recorded removals. False
// when the play departs from the script.
bool ReplayStep(const SettlingScript& script, int step, WorldStone& delivered, Box& fatBox,
                BroadPhase& broadPhase, ProxyPair* found) {
    if (StepStoneAlone(delivered, fatBox)) {
        ReinsertLeaf(broadPhase.tree, delivered.proxy, fatBox);
        BufferMove(broadPhase, delivered.proxy);
    }
    if (!delivered.awake || StoneOffSheet(PositionOf(delivered))) {
        return false;
    }
    for (int k = script.moveBegin[step - 1]; k < script.moveBegin[step]; ++k) {
        ReinsertLeaf(broadPhase.tree, script.moves[k].proxy, script.moves[k].fatBox);
        BufferMove(broadPhase, script.moves[k].proxy);
    }
    const int pairs = script.pairBegin[step] - script.pairBegin[step - 1];
    const int count = broadPhase.moveCount > 0 ? FindNewPairs(broadPhase, found) : 0;
    if (count != pairs ||
        (count > 0 && !SamePairs(found, &script.pairs[script.pairBegin[step - 1]], count))) {
        return false;
    }
    for (int k = script.removalBegin[step - 1]; k < script.removalBegin[step]; ++k) {
        DestroyProxy(broadPhase, script.removals[k]);
    }
    return true;
}

int StepsUntilRested(float sleepTime) {
    int steps = 0;
    for (; sleepTime < TimeToSleep; ++steps) {
        sleepTime += TimeStep;
    }
    return steps;
}

// Where the settled stones stand, and when they all sleep: a still island once its least rested stone
// has rested long enough, if ever.
void SettledEnd(SettlingScript& script, int32_t thrower) {
    PlacedEnd& end = script.end;
    end.boxCount = 1;
    end.boxes[0] = script.reach;
    end.asleepStep = script.settledStep;
    for (int32_t i = 0; i < thrower; ++i) {
        const WorldStone& stone = script.settled.stones[i];
        end.present[i] = stone.present;
        if (stone.present) {
            const Vec2 at = PositionOf(stone);
            end.position[i] = records::StonePosition{at.x, at.y};
        }
        if (stone.present && stone.awake) {
            const int sleeps = stone.islandSolved ? script.settledStep + StepsUntilRested(stone.sleepTime)
                                                  : MaxPlaySteps + 1;
            end.asleepStep = std::max(end.asleepStep, std::min(MaxPlaySteps + 1, sleeps));
        }
    }
}

}  // namespace

int LastActiveStep(const SettlingScript& script) {
    int last = 0;
    for (int step = 1; step <= script.settledStep; ++step) {
        if (script.moveBegin[step] != script.moveBegin[step - 1] ||
            script.removalBegin[step] != script.removalBegin[step - 1]) {
            last = step;
        }
    }
    return last;
}

uint32_t DeliveryPattern(const records::ShotVector& shot, int steps) {
    WorldStone stone = DeliveredStone(shot);
    Box fatBox = FreshFatBox(stone.centre);
    uint32_t pattern = 0;
    for (int step = 1; step <= steps && step <= 32; ++step) {
        if (StepStoneAlone(stone, fatBox)) {
            pattern |= 1u << (step - 1);
        }
    }
    return pattern;
}

bool RecordSettling(const records::GameState& state, const records::ShotVector& delivery, int stepLimit,
                    SettlingScript& script) {
    const int32_t thrower = state.shotNumber;
    World world = StartPlay(state, delivery);
    script = SettlingScript{};
    script.reach = Box{3.0e38f, 3.0e38f, -3.0e38f, -3.0e38f};
    for (int32_t i = 0; i < thrower; ++i) {
        if (world.stones[i].present) {
            Widen(script.reach, world.broadPhase.tree.nodes[world.stones[i].proxy].box);
        }
    }
    script.moveBegin.push_back(0);
    script.pairBegin.push_back(0);
    script.removalBegin.push_back(0);
    World before = world;
    for (int step = 1; step <= stepLimit; ++step) {
        before = world;
        StepToPairSearch(world, TimeStep);
        const BroadPhase& broadPhase = world.broadPhase;
        for (int32_t k = 0; k < broadPhase.moveCount; ++k) {
            const int32_t proxy = broadPhase.moveBuffer[k];
            if (proxy == world.stones[thrower].proxy && step <= 32) {
                script.pattern |= 1u << (step - 1);
            }
            if (proxy != NullNode && proxy != world.stones[thrower].proxy) {
                script.moves.push_back(SettlingScript::ProxyMove{proxy, broadPhase.tree.nodes[proxy].box});
                Widen(script.reach, broadPhase.tree.nodes[proxy].box);
            }
        }
        ProxyPair pairs[PairCapacity];
        const int count = FinishStep(world, TimeStep, pairs);
        script.pairs.insert(script.pairs.end(), pairs, pairs + count);
        ApplySheetFriction(world, SpeedLossPerStep);
        static_cast<void>(PlayOverAfterScan(world));
        for (int32_t i = 0; i < thrower; ++i) {
            if (before.stones[i].present && !world.stones[i].present) {
                script.removals.push_back(before.stones[i].proxy);
            }
        }
        script.moveBegin.push_back(static_cast<int>(script.moves.size()));
        script.pairBegin.push_back(static_cast<int>(script.pairs.size()));
        script.removalBegin.push_back(static_cast<int>(script.removals.size()));
        if (world.stones[thrower].edges != NullEdge) {
            return false;
        }
        if (step >= 2 && PlacedSettled(world, before, thrower)) {
            script.settledStep = step;
            script.settled = world;
            SettledEnd(script, thrower);
            return true;
        }
        if (step % SettlingSnapshotSteps == 0) {
            script.snapshots.push_back(world);
        }
    }
    return false;
}

bool ReplaySettling(const SettlingScript& script, const records::GameState& state,
                    const records::ShotVector& shot, World& world, int& step) {
    const int32_t thrower = state.shotNumber;
    World play = StartPlay(state, shot);
    BroadPhase& broadPhase = play.broadPhase;
    ProxyPair found[PairCapacity];
    // The first step's search for the proxies as made: the same tree in every play.
    static_cast<void>(FindNewPairs(broadPhase, found));
    WorldStone delivered = play.stones[thrower];
    Box fatBox = broadPhase.tree.nodes[delivered.proxy].box;
    // The last step replayed at which the script keeps a world, and the delivery and broad phase then.
    int kept = 0;
    WorldStone keptDelivered;
    BroadPhase keptBroadPhase;
    for (int at = 1; at <= script.settledStep; ++at) {
        if (!ReplayStep(script, at, delivered, fatBox, broadPhase, found)) {
            break;
        }
        if (at == script.settledStep || at % SettlingSnapshotSteps == 0) {
            kept = at;
            keptDelivered = delivered;
            keptBroadPhase = broadPhase;
        }
    }
    if (kept == 0) {
        return false;
    }
    world = kept == script.settledStep ? script.settled : script.snapshots[kept / SettlingSnapshotSteps - 1];
    world.broadPhase = keptBroadPhase;
    world.stones[thrower] = keptDelivered;
    step = kept;
    return true;
}

}  // namespace physics
