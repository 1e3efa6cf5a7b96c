#pragma once

#include "physics/detail/fast_play.h"
#include "physics/detail/hand_over.h"
#include "physics/detail/inert_stones.h"
#include "physics/detail/play_outcome.h"
#include "physics/detail/sheet_stones.h"
#include "records/game_state.h"

#include <box2d/b2_world.h>

#include <memory>

namespace physics {

// A world carries a 100 KiB scratch stack. Each thread builds its worlds, one at a time, in one block
// of its own, which spares the allocator that block's round trip to the system for every shot.
struct WorldMemory {
    alignas(b2World) unsigned char bytes[sizeof(b2World)];
};

struct EndWorld {
    void operator()(b2World* world) const { world->~b2World(); }
};

struct HandOverWorld {
    std::unique_ptr<b2World, EndWorld> world;
    SheetStones stones;
    FastPlayScratch& scratch;
};

// The plain play's set-up: placed stones, the delivered one, and the half step of friction. The record's
// shotNumber lies in 0..15.
HandOverWorld StartWorld(const records::GameState& state, const records::ShotVector& shot,
                         FastPlayScratch& scratch);

enum class Progress { Ended, Continues, Broken };

// Lets the mover run without the world from `step` on, every other stone standing still and asleep
// from the end of step allAsleepStep on. Ends the play, or brings the world up to the step at which the
// mover comes near another stone; its other stones then sleep, as they do in the plain play by then,
// but for the inert ones, which count the skipped steps as held still.
Progress RunMoverAlone(HandOverWorld& w, const StoneProxies& proxies, int mover, const InertStones& inert,
                       int allAsleepStep, int& step, int& nextTry, PlayOutcome& outcome);

// Plays the world on from `stepsDone`, ending early once nothing can move and letting the moving stones
// run without the world whenever none of them touches another.
bool PlayOn(HandOverWorld& w, int stepsDone, PlayOutcome& outcome);

}  // namespace physics
