#pragma once

#include "physics/simulate_shot.h"

// The readiness traces: every test shot stepped once on an empty sheet, as the world steps a stone alone,
// keeping how it ends and covers of the fat boxes its proxy takes on the way.
namespace physics {

// Fat boxes of a trace covered by one box: far fewer to store and to test than the proxy's own, and a
// cover that meets no fat box of another stone keeps every box it covers from meeting one.
constexpr int BoxesPerCover = 16;

}  // namespace physics
