#include "physics/detail/play_outcome.h"

#include <box2d/box2d.h>

#include <algorithm>
#include <iterator>

namespace physics {

PlayOutcome OutcomeOf(const SheetStones& stones) {
    PlayOutcome outcome;
    outcome.count = stones.count;
    for (int i = 0; i < stones.count; ++i) {
        const b2Body* body = stones.bodies[i];
        if (body != nullptr) {
            const b2Vec2& position = body->GetPosition();
            outcome.present[i] = true;
            outcome.position[i] = records::StonePosition{position.x, position.y};
        }
    }
    return outcome;
}

PlayFrame FrameOf(const SheetStones& stones) {
    const PlayOutcome outcome = OutcomeOf(stones);
    PlayFrame frame;
    std::copy(std::begin(outcome.present), std::end(outcome.present), frame.present);
    std::copy(std::begin(outcome.position), std::end(outcome.position), frame.position);
    return frame;
}

}  // namespace physics
