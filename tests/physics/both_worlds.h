#pragma once

#include "physics/plain/sheet_stones.h"
#include "physics/world/world.h"
#include "records/game_state.h"

#include <memory>
#include <string>

class b2World;

// One play set up twice, on a real b2World as the plain path plays it and on the stone world, to be
// stepped side by side and compared field by field.
namespace testing_worlds {

struct BothWorlds {
    BothWorlds();
    ~BothWorlds();

    std::unique_ptr<b2World> box2d;
    physics::SheetStones bodies;  // the plain path's table of Box2D bodies
    physics::World ours;
};

// The play's set-up in both: placed stones, the delivery, half a step of friction.
void Start(BothWorlds& both, const records::GameState& state, const records::ShotVector& shot);

// One step of the play in both (world step, friction, scan); true when the play is over in Box2D's.
bool Step(BothWorlds& both, bool& oursOver);

// Everything Box2D's public interface shows of the two worlds that could differ: for every stone its
// presence, centre, body position, angle, velocity, spin, wakefulness, proxy id and fat box; the body
// list; the world's contacts in order with their stones, touching and enabled flags and manifolds (the
// impulses of a manifold with a point); every stone's contact list in order; the tree's query order over
// the whole sheet, height, balance and area ratio. Empty when the same, bit for bit; otherwise the first
// difference.
std::string Difference(const BothWorlds& both);

// What a comparison met, to show that the scenarios reach what makes the world hard.
struct Tally {
    long steps = 0;
    long touchingContacts = 0;
    long contactsMade = 0;   // steps that made contacts
    long contactsEnded = 0;  // steps that destroyed contacts
    long stonesFellAsleep = 0;
    long stonesWoken = 0;
    long stonesRemoved = 0;
    long proxiesMoved = 0;  // steps at which some stone's fat box changed
};

// Plays both to the end, or at most maxSteps, comparing after every step. Empty when they never differ.
std::string PlayBoth(const records::GameState& state, const records::ShotVector& shot, int maxSteps,
                     Tally& tally);

}  // namespace testing_worlds
