#include "physics/detail/group_run.h"

#include "physics/detail/run_to_rest.h"

#include <cstddef>
#include <cstdint>

namespace physics {

namespace {

bool AwakeMover(const GroupStone& stone) {
    return stone.present && stone.role == GroupRole::Mover && stone.awake;
}

// The stones of a run, with what only changes when a broad-phase box moves: for each mover, the stones
// whose boxes lie near its own. Boxes apart keep their stones apart, so only those need the distance.
struct Group {
    GroupStone stones[records::StoneCount];
    int count = 0;
    int movers[records::StoneCount] = {};  // in the world's body order: newest first
    int moverCount = 0;
    uint32_t near[records::StoneCount] = {};
    bool offSheet[records::StoneCount] = {};  // still and inert stones, which never move

    void UpdateNear(int i) {
        near[i] = 0;
        for (int j = 0; j < count; ++j) {
            const bool isNear = j != i && BoxesNear(stones[i].tree, stones[j].tree);
            near[i] |= isNear ? 1u << j : 0u;
            if (stones[j].role == GroupRole::Mover) {
                near[j] = isNear ? near[j] | 1u << i : near[j] & ~(1u << i);
            }
        }
    }

    // Whether an awake mover lies close enough to another stone to touch it at the next collision test.
    bool AnyClose() const {
        for (int k = 0; k < moverCount; ++k) {
            const int i = movers[k];
            if (!AwakeMover(stones[i])) {
                continue;
            }
            for (uint32_t rest = near[i]; rest != 0; rest &= rest - 1) {
                const int j = __builtin_ctz(rest);
                if (!stones[j].present || (j > i && AwakeMover(stones[j]))) {
                    continue;  // gone, or a pair the other side tests
                }
                const float dx = stones[j].state.x - stones[i].state.x;
                const float dy = stones[j].state.y - stones[i].state.y;
                if (dx * dx + dy * dy <= ApartDistance * ApartDistance) {
                    return true;
                }
            }
        }
        return false;
    }

    // The awake movers that placing where they are would give another broad-phase box.
    uint32_t unplaceable = 0;
};

enum class ScanEnd { PlayOver, Stopped, Refused };

// The end-of-step scan: from index 0 up, each stone off the sheet is destroyed, up to the first awake one.
ScanEnd Scan(Group& group, int step, std::vector<GroupEvent>& events) {
    for (int i = 0; i < group.count; ++i) {
        GroupStone& stone = group.stones[i];
        if (!stone.present) {
            continue;
        }
        const bool mover = stone.role == GroupRole::Mover;
        if (mover ? StoneOffSheet(stone.state.x, stone.state.y) : group.offSheet[i]) {
            if (stone.role == GroupRole::Inert || !stone.removable) {
                return ScanEnd::Refused;
            }
            stone.present = false;
            group.unplaceable &= ~(1u << i);
            events.push_back(GroupEvent{step, i, GroupEventKind::Removed, ProxyMove{}});
            continue;
        }
        if (stone.role == GroupRole::Inert || (mover && stone.awake)) {
            return ScanEnd::Stopped;
        }
    }
    return ScanEnd::PlayOver;
}

// The latest step at which the world could take over: the movers then, which stones were left, and the
// events up to it.
struct HandOverPoint {
    int step = 0;
    GroupStone movers[records::StoneCount];
    bool present[records::StoneCount] = {};
    std::size_t events = 0;

    void Take(const Group& group, int atStep, std::size_t eventCount) {
        step = atStep;
        for (int k = 0; k < group.moverCount; ++k) {
            movers[k] = group.stones[group.movers[k]];
        }
        for (int i = 0; i < group.count; ++i) {
            present[i] = group.stones[i].present;
        }
        events = eventCount;
    }
};

}  // namespace

GroupRunResult RunGroup(const GroupRunSetup& setup, std::vector<GroupEvent>& events) {
    events.clear();
    Group group;
    group.count = setup.count;
    for (int i = 0; i < setup.count; ++i) {
        group.stones[i] = setup.stones[i];
    }
    for (int i = setup.count - 1; i >= 0; --i) {
        const GroupStone& stone = group.stones[i];
        if (stone.present && stone.role == GroupRole::Mover) {
            group.movers[group.moverCount++] = i;
        } else if (stone.present) {
            group.offSheet[i] = StoneOffSheet(stone.state.x, stone.state.y);
        }
    }
    for (int k = 0; k < group.moverCount; ++k) {
        group.UpdateNear(group.movers[k]);
    }

    HandOverPoint handOver;
    handOver.Take(group, setup.startStep, 0);
    auto handOverBefore = [&](int step) {
        events.resize(handOver.events);
        GroupRunResult result;
        result.end = GroupRunEnd::HandOver;
        result.step = handOver.step;
        result.nearStep = step;
        for (int i = 0; i < setup.count; ++i) {
            result.stones[i] = setup.stones[i];
            result.stones[i].present = handOver.present[i];
        }
        for (int k = 0; k < group.moverCount; ++k) {
            result.stones[group.movers[k]] = handOver.movers[k];
        }
        return result;
    };
    auto ended = [&](int step) {
        GroupRunResult result;
        result.end = GroupRunEnd::Ended;
        result.step = step;
        for (int i = 0; i < setup.count; ++i) {
            result.stones[i] = group.stones[i];
        }
        return result;
    };

    if (group.AnyClose()) {
        return handOverBefore(setup.startStep);
    }
    for (int step = setup.startStep + 1; step <= MaxPlaySteps; ++step) {
        for (int k = 0; k < group.moverCount; ++k) {
            const int i = group.movers[k];
            GroupStone& stone = group.stones[i];
            if (!AwakeMover(stone)) {
                continue;
            }
            const StoneStep moved = StepStoneAlone(step, stone.state, stone.sleepTime, stone.tree);
            const bool unplaceable = moved.awake && !moved.stays;
            group.unplaceable = unplaceable ? group.unplaceable | 1u << i : group.unplaceable & ~(1u << i);
            if (!moved.awake) {
                stone.awake = false;
                events.push_back(GroupEvent{step, i, GroupEventKind::FallsAsleep, ProxyMove{}});
            }
            if (moved.moved) {
                events.push_back(GroupEvent{step, i, GroupEventKind::Moves, moved.move});
                group.UpdateNear(i);
            }
        }
        if (group.AnyClose()) {
            return handOverBefore(step);
        }
        const ScanEnd scan = Scan(group, step, events);
        if (scan == ScanEnd::Refused) {
            return handOverBefore(step);
        }
        bool anyAwake = false;
        for (int k = 0; k < group.moverCount; ++k) {
            anyAwake = anyAwake || AwakeMover(group.stones[group.movers[k]]);
        }
        // With every mover asleep only inert stones can hold the scan, and they never move.
        if (scan == ScanEnd::PlayOver || !anyAwake) {
            return ended(step);
        }
        if (group.unplaceable == 0) {
            handOver.Take(group, step, events.size());
        }
    }
    return ended(MaxPlaySteps);
}

}  // namespace physics
