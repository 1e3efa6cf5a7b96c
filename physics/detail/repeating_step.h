#pragma once

#include "physics/detail/sheet_stones.h"
#include "records/game_state.h"

#include <cstdint>

class b2Contact;
class b2Fixture;
class b2World;

namespace physics {

// What a world step reads of a contact between stones at rest: the touch and the impulses it carries
// into the next step to warm it.
struct StillContact {
    const b2Contact* contact = nullptr;
    const b2Fixture* fixtureA = nullptr;
    const b2Fixture* fixtureB = nullptr;
    bool touching = false;
    int32_t pointCount = 0;
    float normalImpulse[2] = {};
    float tangentImpulse[2] = {};
};

// What a world step reads of a world whose stones all stand still, taken after one step: each stone's
// place and wakefulness, and every contact in the world's order. The time a stone has held still and
// its angle are left out: the first only decides when an island may fall asleep, which is told apart,
// and the second turns nothing, since every circle sits at its body's origin.
struct StillWorld {
    static constexpr int MaxContacts = records::StoneCount * (records::StoneCount - 1) / 2;

    int step = -1;               // the step it was taken after; -1: none
    bool mayFallAsleep = false;  // an awake stone has held still for less than the time to fall asleep
    bool present[records::StoneCount] = {};
    bool awake[records::StoneCount] = {};
    float position[records::StoneCount][2] = {};
    int contactCount = 0;
    StillContact contacts[MaxContacts];
};

// The still worlds taken after the last two steps, by the step's parity.
struct StillHistory {
    StillWorld taken[2];
};

// True when the world after `step` is what it was two steps before, with every stone where it stood
// after the step before: the steps then read what they read before and do the same, so the world only
// swings between the two (pushes too small to move a centre trade places between contacts), no stone
// moves again, the scan that removes stones off the sheet removes none and the play ends as it stands
// at the step cap. That needs every awake stone to have held still long enough to fall asleep after
// both steps: the islands that stayed awake then cannot sleep, at either parity, and nothing wakes
// what sleeps. Takes the world into `history` when every stone stands still (no velocity, no spin);
// forgets it otherwise.
bool RepeatsEarlierStep(const SheetStones& stones, const b2World& world, int step, StillHistory& history);

}  // namespace physics
