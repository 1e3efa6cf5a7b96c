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

StoneFrame FrameOf(const physics::PlayFrame& frame) {
    StoneFrame stones{};
    for (int i = 0; i < records::StoneCount; ++i) {
        stones[i] = frame.present[i] ? frame.position[i] : records::StonePosition{0.0f, 0.0f};
    }
    return stones;
}

// With a path, the plain play of every step, which ends as the fast one does, sampled every PathInterval
// and at rest; without one, the fast play alone.
bool SimulateShot(records::GameState& state, records::ShotVector shot, ShotPath* path) {
    if (path == nullptr) {
        return physics::SimulateShot(state, shot);
    }
    std::vector<physics::PlayFrame> frames;
    if (!physics::SimulateShotFrames(state, shot, frames)) {
        return false;
    }
    const std::size_t stride = static_cast<std::size_t>(PathInterval / physics::TimeStep + 0.5);
    path->frames.clear();
    for (std::size_t k = 0; k < frames.size(); k += stride) {
        path->frames.push_back(FrameOf(frames[k]));
    }
    if ((frames.size() - 1) % stride != 0) {
        path->frames.push_back(FrameOf(frames.back()));
    }
    return true;
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
