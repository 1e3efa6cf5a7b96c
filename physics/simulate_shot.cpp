#include "physics/simulate_shot.h"

#include "physics/fast_play.h"
#include "physics/play_outcome.h"
#include "physics/run_to_rest.h"
#include "physics/sheet.h"
#include "physics/sheet_stones.h"
#include "physics/stone_motion.h"

#include <box2d/box2d.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>

namespace physics {

namespace {

// The guard rule protects the other team's stones while fewer than five stones are delivered.
constexpr int GuardRuleStoneLimit = 5;

std::once_flag warmUpFlag;

void MeetTwoStones() {
    auto world = std::make_unique<b2World>(b2Vec2(0.0f, 0.0f));
    CreateStoneBody(*world, TeeX, TeeY, StoneRadius, StoneDensity, StoneRestitution, StoneFriction);
    CreateStoneBody(*world, TeeX + StoneRadius, TeeY, StoneRadius, StoneDensity, StoneRestitution,
                    StoneFriction);
    world->Step(TimeStep, VelocityIterations, PositionIterations);
}

// True when a guard of the other team, in the guard zone before the shot, is no longer in play.
bool GuardRuleBroken(const GameState& before, const PlayOutcome& outcome, int thrower) {
    for (int i = (thrower + 1) % 2; i < thrower; i += 2) {
        const StonePosition& guard = before.stones[i];
        if (!ClassifyStonePosition(guard.x, guard.y).inGuardZone) {
            continue;
        }
        if (!outcome.present[i]) {
            return true;
        }
        const StonePosition& after = outcome.position[i];
        if (!ClassifyStonePosition(after.x, after.y).inPlay) {
            return true;
        }
    }
    return false;
}

PlayOutcome PlayShotPlain(const GameState& state, const ShotVector& shot) {
    // A world carries a 100 KiB scratch stack of its own; keep it off small thread stacks.
    auto world = std::make_unique<b2World>(b2Vec2(0.0f, 0.0f));
    world->SetAllowSleeping(true);
    SheetStones stones;
    PlaceStones(stones, state, *world);
    ThrowStone(stones, *world, shot);
    RunUntilAtRest(stones, *world, TimeStep);
    return OutcomeOf(stones);
}

// The byte's lowest bit is flipped, so a record holding any byte value keeps a defined result.
void InvertTurnFlag(GameState& state) {
    uint8_t flag = 0;
    std::memcpy(&flag, &state.turnFlag, 1);
    flag ^= 1u;
    std::memcpy(&state.turnFlag, &flag, 1);
}

}  // namespace

void WarmUp() {
    std::call_once(warmUpFlag, MeetTwoStones);
}

bool SimulateShot(GameState& state, ShotVector shot, SimulationPath path) {
    WarmUp();
    if (state.shotNumber < 0 || state.shotNumber >= StoneCount) {
        return false;
    }
    PlayOutcome outcome;
    if (path == SimulationPath::Plain || !PlayShotFast(state, shot, outcome)) {
        outcome = PlayShotPlain(state, shot);
    }
    const int thrower = state.shotNumber;
    if (outcome.count < GuardRuleStoneLimit && GuardRuleBroken(state, outcome, thrower)) {
        state.stones[thrower] = StonePosition{0.0f, 0.0f};
    } else {
        for (int i = 0; i < StoneCount; ++i) {
            state.stones[i] = outcome.present[i] ? outcome.position[i] : StonePosition{0.0f, 0.0f};
        }
    }
    InvertTurnFlag(state);
    state.shotNumber = outcome.count;
    return true;
}

}  // namespace physics
