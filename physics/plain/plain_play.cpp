#include "physics/plain/plain_play.h"

#include "physics/plain/plain_steps.h"
#include "physics/plain/sheet_stones.h"

#include <box2d/box2d.h>

#include <cassert>
#include <memory>

namespace physics {

PlayOutcome PlayShotPlain(const records::GameState& state, const records::ShotVector& shot,
                          std::vector<PlayFrame>* frames) {
    // A world carries a 100 KiB scratch stack of its own; keep it off small thread stacks.
    auto world = std::make_unique<b2World>(b2Vec2(0.0f, 0.0f));
    world->SetAllowSleeping(true);
    SheetStones stones;
    [[maybe_unused]] const bool placed = PlaceStones(stones, state, *world);
    [[maybe_unused]] const bool thrown = ThrowStone(stones, *world, shot);
    assert(placed && thrown);
    if (frames != nullptr) {
        frames->push_back(FrameOf(stones));
    }
    // Stones stacked on one spot never sleep: such a play ends at the step cap, where that step left them.
    static_cast<void>(RunUntilAtRest(stones, *world, TimeStep, frames));
    return OutcomeOf(stones);
}

}  // namespace physics
