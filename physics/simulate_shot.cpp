#include "physics/simulate_shot.h"

#include "physics/detail/play_outcome.h"
#include "physics/detail/run_to_rest.h"
#include "physics/detail/sheet_stones.h"
#include "physics/play/fast_play.h"
#include "physics/play/settled_start.h"
#include "physics/sheet.h"
#include "physics/stone_motion.h"

#include <box2d/box2d.h>

#include <cassert>
#include <cstdint>
#include <cstring>
#include <memory>

namespace physics {

namespace {

// The guard rule protects the other team's stones while fewer than five stones are delivered.
constexpr int GuardRuleStoneLimit = 5;

// True when a guard of the other team, in the guard zone before the shot, is no longer in play.
bool GuardRuleBroken(const records::GameState& before, const PlayOutcome& outcome, int thrower) {
    for (int i = (thrower + 1) % 2; i < thrower; i += 2) {
        const records::StonePosition& guard = before.stones[i];
        if (!ClassifyStonePosition(guard.x, guard.y).inGuardZone) {
            continue;
        }
        if (!outcome.present[i]) {
            return true;
        }
        const records::StonePosition& after = outcome.position[i];
        if (!ClassifyStonePosition(after.x, after.y).inPlay) {
            return true;
        }
    }
    return false;
}

// The record's shotNumber lies in 0..15, so the stones are placed and the delivery thrown.
PlayOutcome PlayShotPlain(const records::GameState& state, const records::ShotVector& shot,
                          std::vector<PlayFrame>* frames = nullptr) {
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

// The byte's lowest bit is flipped, so a record holding any byte value keeps a defined result.
void InvertTurnFlag(records::GameState& state) {
    uint8_t flag = 0;
    std::memcpy(&flag, &state.turnFlag, 1);
    flag ^= 1u;
    std::memcpy(&state.turnFlag, &flag, 1);
}

// Writes a play's outcome into the record as SimulateShot describes.
void WriteOutcome(records::GameState& state, const PlayOutcome& outcome) {
    const int thrower = state.shotNumber;
    if (outcome.count < GuardRuleStoneLimit && GuardRuleBroken(state, outcome, thrower)) {
        state.stones[thrower] = records::StonePosition{0.0f, 0.0f};
    } else {
        for (int i = 0; i < records::StoneCount; ++i) {
            state.stones[i] = outcome.present[i] ? outcome.position[i] : records::StonePosition{0.0f, 0.0f};
        }
    }
    InvertTurnFlag(state);
    state.shotNumber = outcome.count;
}

bool Playable(const records::GameState& state) {
    return state.shotNumber >= 0 && state.shotNumber < records::StoneCount;
}

}  // namespace

PlayCounters& PlayCounters::operator+=(const PlayCounters& other) {
    plays += other.plays;
    decidedByTrace += other.decidedByTrace;
    resumedFromTrace += other.resumedFromTrace;
    startedSettled += other.startedSettled;
    decidedQuiet += other.decidedQuiet;
    decidedRepeat += other.decidedRepeat;
    worldSteps += other.worldSteps;
    quietSteps += other.quietSteps;
    return *this;
}

SettledStart SettleStart(const records::GameState& state) {
    return SettledStart{SettlePlacedStones(state)};
}

bool SimulateShot(records::GameState& state, records::ShotVector shot, SimulationScratch& scratch,
                  SimulationPath path, const LonePath* lone, const SettledStart* settled) {
    WarmUp();
    if (!Playable(state)) {
        return false;
    }
    const PlayOutcome outcome =
        path == SimulationPath::Plain
            ? PlayShotPlain(state, shot)
            : PlayShotOnWorld(state, shot, lone, settled != nullptr ? settled->placed.get() : nullptr,
                              scratch.counters);
    WriteOutcome(state, outcome);
    return true;
}

bool SimulateShot(records::GameState& state, records::ShotVector shot, SimulationPath path) {
    SimulationScratch scratch;
    return SimulateShot(state, shot, scratch, path);
}

bool SimulateShotFrames(records::GameState& state, records::ShotVector shot, std::vector<PlayFrame>& frames) {
    WarmUp();
    if (!Playable(state)) {
        return false;
    }
    WriteOutcome(state, PlayShotPlain(state, shot, &frames));
    return true;
}

}  // namespace physics
