#include "physics/simulate_shot.h"

#include "physics/plain/plain_play.h"
#include "physics/play/fast_play.h"
#include "physics/play/settled_start.h"
#include "physics/sheet.h"

#include <cstdint>
#include <cstring>

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
