#include "physics/play/fast_play.h"

#include "physics/play/quiet_steps.h"
#include "physics/play/settled_start.h"
#include "physics/play/still_world.h"

#include <cstring>

namespace physics {

namespace {

bool SameShot(const records::ShotVector& a, const records::ShotVector& b) {
    return std::memcmp(&a.vx, &b.vx, sizeof a.vx) == 0 && std::memcmp(&a.vy, &b.vy, sizeof a.vy) == 0 &&
           a.curl == b.curl;
}

bool EveryStoneStandsStill(const World& world) {
    for (int32_t i = 0; i < world.stoneCount; ++i) {
        const WorldStone& stone = world.stones[i];
        if (stone.present && (stone.velocity.x != 0.0f || stone.velocity.y != 0.0f || stone.spin != 0.0f)) {
            return false;
        }
    }
    return true;
}

}  // namespace

PlayOutcome PlayShotOnWorld(const records::GameState& state, const records::ShotVector& shot,
                            const LonePath* lone, const PlacedStones* placed, PlayCounters& counters) {
    ++counters.plays;
    const bool placedKnown = placed != nullptr && SameStonesPlaced(placed->state, state);
    const bool traced = placedKnown && lone != nullptr && SameShot(lone->shot, shot);
    PlayOutcome decided;
    if (traced && placed->standStill && TraceDecides(*lone, state, placed->end, decided)) {
        ++counters.decidedByTrace;
        return decided;
    }
    World world;
    int step = 0;
    int previousStep = -1;  // the step after which `previous` was taken
    const SettlingScript* settling = nullptr;
    if (traced && placed->standStill && ResumeFromTrace(*lone, *placed, world, step)) {
        ++counters.resumedFromTrace;
        counters.quietSteps += step;
        // The placed stones stand as they stood a step before.
        previousStep = step - 1;
    } else if (placedKnown && StartSettled(*placed, shot, world, step, settling)) {
        const bool settled = step == settling->settledStep;
        if (settled && traced && TraceDecides(*lone, state, settling->end, decided)) {
            ++counters.decidedByTrace;
            return decided;
        }
        ++counters.startedSettled;
        counters.quietSteps += step;
        // Settled, the placed stones stand as they stood a step before; on the way they still move.
        previousStep = settled ? step - 1 : -1;
    } else {
        world = StartPlay(state, shot);
    }
    World previous = world;
    World twoBack;
    int twoBackStep = -1;  // the step after which `twoBack` was taken
    while (step < MaxPlaySteps) {
        const int before = step;
        const QuietEnd quiet = RunQuietSteps(world, previousStep == step - 1 ? &previous : nullptr, step);
        counters.quietSteps += step - before;
        if (quiet == QuietEnd::PlayOver) {
            ++counters.decidedQuiet;
            return OutcomeOf(world);
        }
        // A world in which every stone stands still may swing between two states for good.
        const bool standing = EveryStoneStandsStill(world);
        twoBackStep = -1;
        if (standing && previousStep == step - 1) {
            twoBack = previous;
            twoBackStep = previousStep;
        }
        previous = world;
        previousStep = step;
        ++step;
        ++counters.worldSteps;
        if (PlayOverAfterStep(world)) {
            break;
        }
        if (standing && previousStep == step - 1 && twoBackStep == step - 2 &&
            RepeatsEveryTwoSteps(world, previous, twoBack)) {
            ++counters.decidedRepeat;
            return OutcomeOf(world);
        }
    }
    return OutcomeOf(world);
}

}  // namespace physics
