#pragma once

#include "front/game_state.h"
#include "search/search_tables.h"

#include <gtest/gtest.h>

#include <string>
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
    *shot =
        ShotVector{static_cast<float>(targets.size()), -static_cast<float>(targets.size()), target.curl, {}};
    targets.push_back(target);
}

// Builds the search tables through RecordingCreateShot (or none) and returns what that logged.
inline std::string PrepareRecorded(CreateShotFunction createShot = RecordingCreateShot) {
    RecordedTargets().clear();
    testing::internal::CaptureStderr();
    search::PrepareSearch(createShot);
    return testing::internal::GetCapturedStderr();
}

}  // namespace searchtest
