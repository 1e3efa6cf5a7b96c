#include "host/sheet_model.h"

#include "evaluation/house_scoring.h"
#include "physics/sheet.h"
#include "physics/simulate_shot.h"
#include "physics/stone_motion.h"
#include "simulator/shot_inverse.h"

namespace host {

namespace {

// The engine's own pieces, so that the host referees with exactly the model the engine searches on.
records::StonePosition RestingPoint(const records::ShotVector& shot) {
    return physics::LoneStoneRestingPoint(shot);
}

records::ShotVector ShotForTarget(const records::ShotTarget& target) {
    return simulator::ShotForTarget(target);
}

bool SimulateShot(records::GameState& state, records::ShotVector shot) {
    return physics::SimulateShot(state, shot);
}

bool InPlay(records::StonePosition stone) {
    return physics::ClassifyStonePosition(stone.x, stone.y).inPlay;
}

int EndScore(const records::GameState& state) {
    return evaluation::EndScore(state);
}

}  // namespace

SheetModel EngineSheetModel() {
    return SheetModel{physics::WarmUp, RestingPoint, ShotForTarget, SimulateShot, InPlay, EndScore};
}

}  // namespace host
