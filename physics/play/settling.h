#pragma once

#include "physics/play/play_step.h"
#include "physics/world/world.h"
#include "records/game_state.h"

#include <cstdint>

#include <vector>

// Placed stones that push apart before they rest, followed once in a world of their own (with a draw
// delivered, far from them) until none of them moves again: what every play from their record does to them
// while its delivered stone is far off. A play takes the settled world over after rebuilding its own broad
// phase, which its delivery's proxy shares with theirs: their recorded proxy moves and removals, woven
// with its own in the world's order, each step's pair search checked against the recorded one.
namespace physics {

// Steps between two of the worlds a settling keeps on the way, from which a play whose delivery comes
// near before the placed stones settled takes over.
constexpr int SettlingSnapshotSteps = 32;

// Where placed stones end while nothing comes near them, and what a delivery keeps clear of for that:
// the stones themselves, when they never move (it must never touch one), or else boxes.
struct PlacedEnd {
    bool present[records::StoneCount] = {};
    records::StonePosition position[records::StoneCount] = {};
    bool standing = false;  // clear of the stones at `position`; otherwise of `boxes`
    int boxCount = 0;
    Box boxes[records::StoneCount];
    int asleepStep = 0;  // every placed stone sleeps after this step (MaxPlaySteps + 1: some never)
};

struct SettlingScript {
    // Which of the first steps re-inserted the delivery's proxy, bit k - 1 for step k: a step that moves
    // it first reshapes the tree in which the placed stones' pairs are then found, so a play takes over
    // only from a script recorded with a delivery that moved in the same early steps.
    uint32_t pattern = 0;
    int settledStep = 0;  // after this step no placed stone moves again until something comes near
    World settled;        // the world after that step
    Box reach{};          // covers every fat box a placed stone had until then
    PlacedEnd end;        // the stones where they settled, `reach` to keep clear of
    // The world after every SettlingSnapshotSteps-th step before the settled one, the first after step
    // SettlingSnapshotSteps.
    std::vector<World> snapshots;

    struct ProxyMove {
        int32_t proxy = 0;
        Box fatBox{};
    };
    // Step k's proxy moves, pair search and removals lie at [begin[k - 1], begin[k]) of each list.
    std::vector<ProxyMove> moves;
    std::vector<int> moveBegin;
    std::vector<ProxyPair> pairs;
    std::vector<int> pairBegin;
    std::vector<int32_t> removals;  // proxies of stones the scan removed
    std::vector<int> removalBegin;
};

// The settling of the record's placed stones with `delivery` thrown. False when they still move after
// `stepLimit` steps, or the delivery came near them.
bool RecordSettling(const records::GameState& state, const records::ShotVector& delivery, int stepLimit,
                    SettlingScript& script);

// The last of the first steps in which the placed stones' proxies moved or went; none: 0.
int LastActiveStep(const SettlingScript& script);

// Which of the first `steps` steps re-insert the proxy of the stone delivered with `shot`, as
// SettlingScript::pattern tells.
uint32_t DeliveryPattern(const records::ShotVector& shot, int steps);

// The world of the play of `shot` from the same record after the settled step, or after the last kept
// step before its delivery came near them: its stone stepped alone, its proxy's moves woven with
// theirs, every pair search as the script's; `step` tells which. False when the delivery came near
// before the first kept step (or fell asleep, or left the sheet); `world` is then of no use.
bool ReplaySettling(const SettlingScript& script, const records::GameState& state,
                    const records::ShotVector& shot, World& world, int& step);

}  // namespace physics
