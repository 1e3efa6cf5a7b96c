#pragma once

#include "physics/play/play_step.h"
#include "physics/play/settling.h"
#include "physics/simulate_shot.h"
#include "physics/world/world.h"
#include "records/game_state.h"

#include <memory>
#include <vector>

// The settled start: what the placed stones of a record do in every play from it while its delivered
// stone is far from them, worked out once in a world of their own.
namespace physics {

struct PlacedStones {
    records::GameState state{};  // the record: plays from another record ignore this

    // From the first step on, every placed stone keeps its state (but for the time held still) and its
    // contacts theirs: nothing moves them until a delivery comes near.
    bool standStill = false;
    PlacedEnd end;           // standing still: where they stand, their fat boxes
    int fallAsleepStep = 0;  // standing still, an island that can sleep does so in this step
    // The world after its first step, a draw far away; standing still, every play's is the same but for
    // the delivered stone and its fat box.
    World first;
    // The tree without the delivered stone's leaf. When `treeCycles`, a leaf put in as the root's sibling
    // and taken out again leaves it as it was: while each of the delivered stone's re-insertions stops at
    // the root, the tree is this one with the leaf put in where it was last inserted.
    FatBoxTree withoutDelivery;
    bool treeCycles = false;
    // An insertion stops at the root when its fat box lies far enough from each of the root's children:
    // the gap between them, across and along, that makes that certain with a margin for rounding.
    Box rootChild[2];
    float gapNeeded[2] = {};

    // Not standing still, they may settle (push apart and come to rest): one script for each way the
    // deliveries move in the first steps, while the stones' proxies move.
    int patternSteps = 0;
    std::vector<SettlingScript> settlings;
};

std::shared_ptr<const PlacedStones> SettlePlacedStones(const records::GameState& state);

// Whether two records place the same stones: the same shotNumber and the same delivered stones.
bool SameStonesPlaced(const records::GameState& a, const records::GameState& b);

// Whether a lone path decides a play from `state` whose placed stones end as `end` tells: none of its
// covers meets their boxes, and the scan sees its end as it did on the empty sheet (the stone rests; or
// it is removed at a step after which every placed stone sleeps). The outcome is then the placed stones
// where they end and the delivered stone at its rest or gone.
bool TraceDecides(const LonePath& lone, const records::GameState& state, const PlacedEnd& end,
                  PlayOutcome& outcome);

// A play taken up where the lone path stood after a step, when none of its fat boxes until then met a
// placed stone's and each re-insertion stopped at the root: the world after that step, as stepping it
// would have made it. False when the path offers no such point.
bool ResumeFromTrace(const LonePath& lone, const PlacedStones& placed, World& world, int& step);

// A play that starts where the placed stones have settled, or as far on the way as its delivery kept
// clear of them: that world, its step in `step`, and the script it followed in `script`.
bool StartSettled(const PlacedStones& placed, const records::ShotVector& shot, World& world, int& step,
                  const SettlingScript*& script);

}  // namespace physics
