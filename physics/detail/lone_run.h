#pragma once

#include "physics/world/box.h"

#include <cstddef>
#include <vector>

namespace physics {

// What the world keeps of a moving stone between two steps.
struct MoverState {
    float x = 0.0f;  // centre
    float y = 0.0f;
    float angle = 0.0f;  // radians
    float vx = 0.0f;     // m/s, after the step's friction update
    float vy = 0.0f;
    float spin = 0.0f;  // rad/s
};

// One re-insertion of the mover into the broad phase: the box and displacement the world passed.
struct ProxyMove {
    int step = 0;
    Box box;
    float dx = 0.0f;
    float dy = 0.0f;
};

struct LoneRunSetup {
    MoverState start;             // after the friction update of startStep
    int startStep = 0;            // world steps already played
    int firstExaminedStep = 1;    // from this step on the end-of-step scan reaches the mover
    int firstHandOverStep = 0;    // the earliest step after which the world may take over
    Box treeBox;                  // the mover's box in the broad phase after startStep
    const Box* others = nullptr;  // the broad-phase boxes of every other stone; they do not move
    int otherCount = 0;
    bool restsUnexamined = false;  // the scan never reaches the mover: falling asleep anywhere ends its run
};

enum class LoneRunEnd {
    Rests,      // the mover stopped and fell asleep (on the sheet, if the scan reaches it) at `step`
    Removed,    // the scan found the mover off the sheet at `step`: the play ends there
    HandOver,   // the mover gets near another stone: the world must play on from `step`
    Undecided,  // no exact shortcut: play the world as it is
};

struct LoneRunResult {
    LoneRunEnd end = LoneRunEnd::Undecided;
    int step = 0;
    MoverState state;  // Rests: its resting state; HandOver: its state after `step`
    Box treeBox;       // HandOver: its broad-phase box after `step`
    int nearStep = 0;  // the step whose broad-phase update brought the mover near another stone, if any
};

// A point from which a lone run can be taken up again: the state after a step that re-inserted the
// mover's proxy, while the mover slides and its box is one that placing it there would keep.
struct LoneRunPoint {
    int step = 0;  // 0: none
    MoverState state;
    Box treeBox;
    ProxyMove move;  // that step's re-insertion
};

// A step of a sliding stone from (x0, y0) to (x1, y1): SweptMove gives the re-insertion it made.
struct LoneSweep {
    float x0 = 0.0f;
    float y0 = 0.0f;
    float x1 = 0.0f;
    float y1 = 0.0f;
};

// The re-insertion that a stone alone makes, awake, in a step from (x0, y0) to (x1, y1), when it makes one.
ProxyMove SweptMove(int step, float x0, float y0, float x1, float y1);

// What a traced run keeps: the mover's broad-phase box at the start and after every re-insertion, and
// the point after every `every`-th re-insertion (points[k - 1] after the one giving trees[k * every]).
struct LoneRunTrace {
    std::size_t every = 16;
    std::vector<Box> trees;
    std::vector<LoneRunPoint> points;
    std::vector<LoneSweep> sweeps;  // every re-insertion: where the step began and ended
    int firstSweepStep = 0;
};

// Moves one stone that the world would move alone, the others asleep or standing still, with exactly
// the world's float operations: integration, the broad-phase box updates, the sheet's friction, the
// sleep rule and the end-of-step scan. Every broad-phase re-insertion is appended to `moves` (cleared
// first), so that a world can be brought to the same state. A hand-over is offered only at a step where
// the mover still slides and where placing it there would leave its broad-phase box as it is.
// When `trace` is given, it is filled as LoneRunTrace tells: every box the world would test for nearness,
// and points to take the run up from.
LoneRunResult RunAlone(const LoneRunSetup& setup, std::vector<ProxyMove>& moves,
                       LoneRunTrace* trace = nullptr);

// Whether the world would take a mover whose broad-phase box is `tree` as near a stone whose box is
// `other` (a box covering several of the mover's stands for all of them).
bool BoxesNear(const Box& tree, const Box& other);

// True when the broad phase keeps `tree` for a stone that stays at (x, y) through a step: the world
// then leaves its proxy in place. Placing a stone with SetTransform asks the same question.
bool TreeBoxStays(const Box& tree, float x, float y);

// The box the world gives a stone centred at (x, y) when its proxy is created: its own box widened
// by the broad phase's margin.
Box FreshProxyBox(float x, float y);

// One world step of a stone alone in its island, with no contact that touches: integration, the sleep
// rule, its broad-phase box and, if it is still awake, the sheet's friction. `sleepTime` is the body's
// time held still.
struct StoneStep {
    bool awake = true;   // false: the island solve put it to sleep
    bool moved = false;  // the world re-inserted its proxy, as `move` tells
    bool stays = false;  // awake, and placing it where it now is would leave its box as it is
    ProxyMove move;
};
StoneStep StepStoneAlone(int step, MoverState& s, float& sleepTime, Box& tree);

// Whether the end-of-step scan takes a stone centred at (x, y) off the sheet.
bool StoneOffSheet(float x, float y);

// The world steps, each without any motion, after which a still stone falls asleep.
int StepsToFallAsleep();

}  // namespace physics
