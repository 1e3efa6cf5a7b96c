#pragma once

#include "physics/play/play_step.h"
#include "physics/world/world.h"

// A skip over the steps of a quiet world: one in which every awake stone either slides alone (no
// touching contact: its island is itself) or belongs to a still island (stones held still by contacts
// that the last step left exactly as it found them, which every step then repeats). Such a step is
// worked out without the solver: the contacts of the lone stones are brought up to date (a box that
// parted destroys one), each lone stone takes its own island solve and proxy update, the still islands
// only count their time held still, the pair search runs when a proxy moved, then the friction and the
// scan, which starts where it last stopped. Once nothing moves any more, the steps in which stones only
// wait to fall asleep are skipped whole.
namespace physics {

enum class QuietEnd {
    NotQuiet,  // the world is not quiet now: no step was taken
    Stepped,   // steps were taken until a contact was about to touch; the world steps on from `step`
    PlayOver,  // the play ended: its outcome is in the world
};

// From the world after step `step` (at least 1), which advances with every step taken; the world is
// left as those steps would leave it, but for a play that ended, whose stones only are as it ends them.
// `previous`, when given, is the world after step - 1: without it no island counts as still. A world in
// which nothing can move or fall asleep any more, but islands that never sleep, ends as it stands: as it
// would at the step cap.
QuietEnd RunQuietSteps(World& world, const World* previous, int& step);

}  // namespace physics
