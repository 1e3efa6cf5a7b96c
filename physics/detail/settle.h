#pragma once

#include "physics/detail/hand_over.h"
#include "physics/detail/inert_stones.h"
#include "physics/detail/sheet_stones.h"

class b2World;

namespace physics {

enum class SettleEnd {
    Settled,   // every stone but the mover keeps its place from here on
    PlayOver,  // the play ended while the stones settled
    GaveUp,    // no certain rest within the step limit, or the world did something not followed here
};

struct Settling {
    SettleEnd end = SettleEnd::GaveUp;
    int step = 0;                  // world steps played
    int allAsleepStep = 0;         // Settled: from the end of this step every stone but the mover sleeps,
    InertStones inert;             // but these, which never do
    bool othersKeptBoxes = false;  // no stone but the mover had its broad-phase proxy moved
};

// Plays a fresh world, set up as the plain play sets it up, until every stone but the mover stays where it is
// for good: no stone moved or changed its broad-phase box in the last step, none touches another closer than
// the world accepts as solved, and the mover slides alone, without contact. The world keeps each stone's
// sleep time to itself; this follows every event that restarts it (a contact starting or ending to touch, a
// sleeping stone woken), so that the step at which the last of them falls asleep is known.
Settling PlayUntilSettled(SheetStones& stones, b2World& world, int mover, int stepLimit);

}  // namespace physics
