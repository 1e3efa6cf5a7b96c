#include "physics/detail/group_run.h"

#include "physics/detail/run_to_rest.h"

#include <cstddef>

namespace physics {

namespace {

bool AwakeMover(const GroupStone& stone) {
    return stone.present && stone.role == GroupRole::Mover && stone.awake;
}

// Whether an awake mover lies close enough to another stone to touch it at the next collision test.
// Boxes apart keep their stones apart, so only near boxes need the distance.
bool AnyClose(const GroupStone* stones, int count) {
    for (int i = 0; i < count; ++i) {
        if (!AwakeMover(stones[i])) {
            continue;
        }
        for (int j = 0; j < count; ++j) {
            if (j == i || !stones[j].present || (j < i && AwakeMover(stones[j])) ||
                !BoxesNear(stones[i].tree, stones[j].tree)) {
                continue;
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

// Placing each mover where it is leaves its broad-phase box as it is.
bool PlaceableAsIs(const GroupStone* stones, int count) {
    for (int i = 0; i < count; ++i) {
        const GroupStone& stone = stones[i];
        if (stone.present && stone.role == GroupRole::Mover &&
            !TreeBoxStays(stone.tree, stone.state.x, stone.state.y)) {
            return false;
        }
    }
    return true;
}

enum class ScanEnd { PlayOver, Stopped, Refused };

// The end-of-step scan: from index 0 up, each stone off the sheet is destroyed, up to the first awake one.
ScanEnd Scan(GroupStone* stones, int count, int step, std::vector<GroupEvent>& events) {
    for (int i = 0; i < count; ++i) {
        GroupStone& stone = stones[i];
        if (!stone.present) {
            continue;
        }
        if (StoneOffSheet(stone.state.x, stone.state.y)) {
            if (stone.role == GroupRole::Inert || !stone.removable) {
                return ScanEnd::Refused;
            }
            stone.present = false;
            events.push_back(GroupEvent{step, i, GroupEventKind::Removed, ProxyMove{}});
            continue;
        }
        if (stone.role == GroupRole::Inert || AwakeMover(stone)) {
            return ScanEnd::Stopped;
        }
    }
    return ScanEnd::PlayOver;
}

void CopyStones(const GroupStone* from, GroupStone* to, int count) {
    for (int i = 0; i < count; ++i) {
        to[i] = from[i];
    }
}

}  // namespace

GroupRunResult RunGroup(const GroupRunSetup& setup, std::vector<GroupEvent>& events) {
    events.clear();
    const int count = setup.count;
    GroupRunResult result;
    GroupStone stones[records::StoneCount];
    CopyStones(setup.stones, stones, count);

    // The latest step at which the world could take over, and the events up to it.
    GroupRunResult handOver;
    handOver.step = setup.startStep;
    CopyStones(stones, handOver.stones, count);
    std::size_t handOverEvents = 0;
    auto handOverBefore = [&](int step) {
        events.resize(handOverEvents);
        handOver.nearStep = step;
        return handOver;
    };
    auto ended = [&](int step) {
        result.end = GroupRunEnd::Ended;
        result.step = step;
        CopyStones(stones, result.stones, count);
        return result;
    };

    if (AnyClose(stones, count)) {
        return handOverBefore(setup.startStep);
    }
    for (int step = setup.startStep + 1; step <= MaxPlaySteps; ++step) {
        // The world synchronizes its bodies newest first: the delivered stone, then down the table.
        for (int i = count - 1; i >= 0; --i) {
            GroupStone& stone = stones[i];
            if (!AwakeMover(stone)) {
                continue;
            }
            const StoneStep moved = StepStoneAlone(step, stone.state, stone.sleepTime, stone.tree);
            if (!moved.awake) {
                stone.awake = false;
                events.push_back(GroupEvent{step, i, GroupEventKind::FallsAsleep, ProxyMove{}});
            }
            if (moved.moved) {
                events.push_back(GroupEvent{step, i, GroupEventKind::Moves, moved.move});
            }
        }
        if (AnyClose(stones, count)) {
            return handOverBefore(step);
        }
        const ScanEnd scan = Scan(stones, count, step, events);
        if (scan == ScanEnd::Refused) {
            return handOverBefore(step);
        }
        bool anyAwake = false;
        for (int i = 0; i < count; ++i) {
            anyAwake = anyAwake || AwakeMover(stones[i]);
        }
        // With every mover asleep only inert stones can hold the scan, and they never move.
        if (scan == ScanEnd::PlayOver || !anyAwake) {
            return ended(step);
        }
        if (PlaceableAsIs(stones, count)) {
            handOver.step = step;
            CopyStones(stones, handOver.stones, count);
            handOverEvents = events.size();
        }
    }
    return ended(MaxPlaySteps);
}

}  // namespace physics
