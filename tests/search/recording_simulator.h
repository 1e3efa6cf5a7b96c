#pragma once

#include "front/game_state.h"

#include <vector>

namespace searchtest {

// Every target handed to RecordingCreateShot, in call order.
inline std::vector<ShotTarget>& RecordedTargets() {
    static std::vector<ShotTarget> targets;
    return targets;
}

// Answers call number n with the shot (n, -n), so a table cell tells which call filled it.
inline void RecordingCreateShot(ShotTarget target, ShotVector* shot) {
    std::vector<ShotTarget>& targets = RecordedTargets();
    shot->vx = static_cast<float>(targets.size());
    shot->vy = -static_cast<float>(targets.size());
    shot->curl = target.curl;
    targets.push_back(target);
}

}  // namespace searchtest
