#pragma once

#include "physics/detail/play_outcome.h"
#include "physics/detail/sheet_stones.h"
#include "records/game_state.h"

class b2Body;

namespace physics {

// Stones resting on exactly the same spot, and the still stones that touch them without being pushed.
// Their contact has no direction for the position solver, so the world never pushes them apart and, as
// their overlap stays unsolved, never lets their island sleep: unless a moving stone reaches them they
// stay where they are, awake, until the step cap ends the play. While any of them is awake the
// end-of-step scan stops there, so stones above it are never removed.
struct InertStones {
    bool inert[records::StoneCount] = {};
    int count = 0;
};

// The stones of the world that are inert now: awake, without velocity or spin, touching only such
// stones through contacts that change nothing in a step, and in touch, stone by stone, with two that
// share one spot.
InertStones FindInertStones(const SheetStones& stones);

// The placed stones of a record that share their spot with another placed stone in play.
InertStones CoincidentStones(const records::GameState& state, const int* placed, int placedCount);

// What the world's last scans leave of a play that ends with every other stone asleep: from index 0
// up, each stone off the sheet is dropped, up to the first inert one, which stays awake for good.
void ScanAtRest(PlayOutcome& outcome, const InertStones& inert);

// The world counts, for every body of an island that holds still, the time it has held still; it puts
// the island to sleep once every body has held still long enough. A rebuilt world that skipped steps
// must count an inert stone's time as the world playing them would have: one time step per step.
void AdvanceStillTime(b2Body& body, int steps);

// The time a body has held still, as the world counts it for sleep, and the same set.
float StillTime(const b2Body& body);
void SetStillTime(b2Body& body, float time);

}  // namespace physics
