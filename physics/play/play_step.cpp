#include "physics/play/play_step.h"

#include "physics/sheet.h"
#include "physics/stone_motion.h"
#include "records/sheet.h"

namespace physics {

World StartPlay(const records::GameState& state, const records::ShotVector& shot) {
    World world = EmptyWorld();
    for (int i = 0; i < state.shotNumber; ++i) {
        const records::StonePosition& at = state.stones[i];
        if (ClassifyStonePosition(at.x, at.y).inPlay) {
            CreateStone(world, i, at.x, at.y);
        }
    }
    const int thrower = state.shotNumber;
    CreateStone(world, thrower, records::DeliveryX, records::DeliveryY);
    WorldStone& delivered = world.stones[thrower];
    if (IsDeliverableVelocity(shot.vx, shot.vy)) {
        SetStoneVelocity(delivered, Vec2{shot.vx, shot.vy});
    }
    SetStoneSpin(delivered, SpinForCurl(shot.curl));
    ApplySheetFriction(world, SpeedLossPerStep * 0.5f);
    return world;
}

void ApplySheetFriction(World& world, float speedLoss) {
    for (int32_t i = 0; i < world.stoneCount; ++i) {
        WorldStone& stone = world.stones[i];
        if (stone.present) {
            ApplyStoneFriction(stone, speedLoss);
        }
    }
}

bool PlayOverAfterScan(World& world) {
    return PlayOverAfterScanFrom(world, 0);
}

bool PlayOverAfterScanFrom(World& world, int32_t first) {
    for (int32_t i = first; i < world.stoneCount; ++i) {
        WorldStone& stone = world.stones[i];
        if (!stone.present) {
            continue;
        }
        const Vec2 at = PositionOf(stone);
        if (IsOffSheet(ClassifyStonePosition(at.x, at.y))) {
            DestroyStone(world, i);
            continue;
        }
        if (stone.awake) {
            return false;
        }
    }
    return true;
}

bool PlayOverAfterStep(World& world) {
    StepWorld(world, TimeStep);
    ApplySheetFriction(world, SpeedLossPerStep);
    return PlayOverAfterScan(world);
}

PlayOutcome OutcomeOf(const World& world) {
    PlayOutcome outcome;
    outcome.count = world.stoneCount;
    for (int32_t i = 0; i < world.stoneCount; ++i) {
        const WorldStone& stone = world.stones[i];
        if (stone.present) {
            const Vec2 at = PositionOf(stone);
            outcome.present[i] = true;
            outcome.position[i] = records::StonePosition{at.x, at.y};
        }
    }
    return outcome;
}

}  // namespace physics
