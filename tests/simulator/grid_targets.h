#pragma once

#include "front/game_state.h"

#include <vector>

namespace simulatortest {

// Every target of the engine's test grids, both curls, with the engine's exact float arithmetic:
// strong rows aim far past the end of the sheet, the draw grid around the house.
inline std::vector<ShotTarget> EngineGridTargets() {
    std::vector<ShotTarget> targets;
    for (int curl = 0; curl < 2; ++curl) {
        for (int row = 0; row < 8; ++row) {
            for (int u = -7; u <= 362; ++u) {
                const float product = static_cast<float>(u) * 0.145f;
                targets.push_back(MakeShotTarget(static_cast<float>(static_cast<double>(product) / 5.0 + 0.5),
                                                 static_cast<float>(-6.039 - 7.0 * row), curl));
            }
        }
        for (int v = -23; v <= 19; ++v) {
            for (int u = -29; u <= 29; ++u) {
                const float product = static_cast<float>(u) * 0.145f;
                targets.push_back(
                    MakeShotTarget(static_cast<float>(static_cast<double>(product) * 0.5 + 2.375),
                                   static_cast<float>(v) * 0.145f + 4.88f, curl));
            }
        }
    }
    return targets;
}

}  // namespace simulatortest
