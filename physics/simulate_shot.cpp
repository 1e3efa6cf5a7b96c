#include "physics/simulate_shot.h"

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
bool GuardRuleBroken(const GameState& before, const SheetStones& stones, int thrower) {
    for (int i = (thrower + 1) % 2; i < thrower; i += 2) {
        const StonePosition& guard = before.stones[i];
        if (!ClassifyStonePosition(guard.x, guard.y).inGuardZone) {
            continue;
        }
        const b2Body* body = stones.bodies[i];
        if (body == nullptr) {
            return true;
        }
        const b2Vec2& position = body->GetPosition();
        if (!ClassifyStonePosition(position.x, position.y).inPlay) {
            return true;
        }
    }
    return false;
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

bool SimulateShot(GameState& state, ShotVector shot) {
    WarmUp();
    if (state.shotNumber < 0 || state.shotNumber >= StoneCount) {
        return false;
    }
    // A world carries a 100 KiB scratch stack of its own; keep it off small thread stacks.
    auto world = std::make_unique<b2World>(b2Vec2(0.0f, 0.0f));
    world->SetAllowSleeping(true);
    SheetStones stones;
    if (!PlaceStones(stones, state, *world)) {
        return false;
    }
    const int thrower = state.shotNumber;
    ThrowStone(stones, *world, shot);
    RunUntilAtRest(stones, *world, TimeStep);

    if (stones.count < GuardRuleStoneLimit && GuardRuleBroken(state, stones, thrower)) {
        state.stones[thrower] = StonePosition{0.0f, 0.0f};
    } else {
        for (int i = 0; i < StoneCount; ++i) {
            const b2Body* body = stones.bodies[i];
            if (body == nullptr) {
                state.stones[i] = StonePosition{0.0f, 0.0f};
            } else {
                const b2Vec2& position = body->GetPosition();
                state.stones[i] = StonePosition{position.x, position.y};
            }
        }
    }
    InvertTurnFlag(state);
    state.shotNumber = stones.count;
    return true;
}

}  // namespace physics
