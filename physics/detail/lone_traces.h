#pragma once

#include "physics/detail/lone_run.h"
#include "physics/simulate_shot.h"

#include <cstddef>

namespace physics {

// Boxes of a trace's path covered by one box: far fewer to store and to test than the world's own, and
// a cover near nothing keeps every box it covers near nothing.
constexpr std::size_t BoxesPerCover = 16;

// The path a traced lone run keeps: nothing unless the stone rested or left the sheet.
LonePath LonePathOf(const LoneRunResult& run, const LoneRunTrace& trace);

}  // namespace physics
