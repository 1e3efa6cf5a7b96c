#pragma once

#include "physics/stone_motion.h"
#include "physics/world/world.h"
#include "records/game_state.h"

// The engine's play on the stone world: the stones of a record placed and the delivery thrown, then,
// step after step, the world stepped, the sheet's friction and curl applied to every stone, and the scan
// that removes stones which have left the sheet.
namespace physics {

// One simulated minute. A real play settles within a few thousand steps; stones stacked on one spot
// never separate and never sleep, so without a cap such a record would keep the search busy for ever.
constexpr int MaxPlaySteps = 36000;

// The world of a play before its first step: the record's delivered stones that are in play, in index
// order, then the delivered stone at the hack with the shot's velocity and spin (a velocity that is not
// IsDeliverableVelocity leaves it at rest), and half a step of friction on every stone. The record's
// shotNumber lies in 0..15.
World StartPlay(const records::GameState& state, const records::ShotVector& shot);

// One friction step of speedLoss, with curl, on a stone, set as b2Body's setters set it: a non-zero
// velocity wakes the stone (and restarts its sleep time); a stopped stone loses its spin without waking.
inline void ApplyStoneFriction(WorldStone& stone, float speedLoss) {
    const StoneMotion next =
        ApplyFrictionStep(StoneMotion{stone.velocity.x, stone.velocity.y, stone.spin}, speedLoss);
    SetStoneVelocity(stone, Vec2{next.vx, next.vy});
    if (next.spin == 0.0f) {
        SetStoneSpin(stone, 0.0f);
    }
}

// The same on every stone, in index order.
void ApplySheetFriction(World& world, float speedLoss);

// The end-of-step scan: from index 0 up, destroys each stone off the sheet and stops at the first stone
// that is awake. True when it passed the last stone: the play is over.
bool PlayOverAfterScan(World& world);

// The same scan started at stone `first`, for a caller that knows every stone below it to sleep on the
// sheet.
bool PlayOverAfterScanFrom(World& world, int32_t first);

// A world step of TimeStep, the sheet's friction, the scan; true when the play is over.
bool PlayOverAfterStep(World& world);

// Where the world's stones are: present, and the body origin, for every stone of the table.
struct PlayOutcome {
    int32_t count = 0;  // stones delivered, the thrown one included
    bool present[records::StoneCount] = {};
    records::StonePosition position[records::StoneCount] = {};
};

PlayOutcome OutcomeOf(const World& world);

}  // namespace physics
