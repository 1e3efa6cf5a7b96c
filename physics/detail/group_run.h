#pragma once

#include "physics/detail/lone_run.h"
#include "records/game_state.h"

#include <vector>

namespace physics {

enum class GroupRole {
    Still,  // asleep: stays where it is unless something touches it
    Inert,  // awake for good on its spot (see InertStones)
    Mover,  // awake, alone in its island: slides, or holds still until it falls asleep
};

// One stone of the world as a group run sees it.
struct GroupStone {
    bool present = false;
    GroupRole role = GroupRole::Still;
    bool removable =
        true;            // the world may destroy it without waking another: none of its contacts has points
    bool awake = false;  // Mover
    float sleepTime = 0.0f;  // Mover: the body's time held still
    MoverState state;        // Still and Inert: only x and y count
    Box tree;                // its box in the broad phase
};

struct GroupRunSetup {
    GroupStone stones[records::StoneCount];
    int count = 0;  // table entries
    int startStep = 0;
};

enum class GroupEventKind {
    FallsAsleep,  // the island solve puts the mover to sleep
    Moves,        // its proxy is re-inserted (box and displacement in `move`)
    Removed,      // the end-of-step scan destroys it
};

// What the world does to one stone in one step, in the order it does it: falling asleep and proxy moves
// in the order of the world's body list (the newest body first), then the scan's removals.
struct GroupEvent {
    int step = 0;
    int stone = 0;
    GroupEventKind kind = GroupEventKind::Moves;
    ProxyMove move;
};

enum class GroupRunEnd {
    Ended,     // the play is over, or nothing can move any more: `stones` hold the outcome
    HandOver,  // the world must play on after `step`, the stones as `stones` hold them
};

struct GroupRunResult {
    GroupRunEnd end = GroupRunEnd::HandOver;
    int step = 0;
    GroupStone stones[records::StoneCount];
    int nearStep = 0;  // HandOver: the step after which two stones could touch, or the scan would wake one
};

// Moves every awake stone of the world, each alone in its island and touching none, with the world's own
// float operations, for as long as no two stones come close enough to touch: integration, sleep, the
// broad-phase boxes, friction and the end-of-step scan, as the world would play them. Contacts that come
// and go between boxes meanwhile never touch, so they change no motion; `events` (cleared first) lets a
// world replay what they depend on. A hand-over is offered only after a step at which placing every mover
// where it is would leave its broad-phase box as it is.
GroupRunResult RunGroup(const GroupRunSetup& setup, std::vector<GroupEvent>& events);

}  // namespace physics
