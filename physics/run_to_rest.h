#pragma once

#include "physics/sheet_stones.h"

class b2World;

namespace physics {

constexpr int VelocityIterations = 10;
constexpr int PositionIterations = 10;
// One simulated minute. A real play settles within a few thousand steps; stones stacked on one spot
// never separate and never sleep, so without a cap such a record would keep the search busy for ever.
constexpr int MaxPlaySteps = 36000;

// One friction step of speedLoss, with curl, on every stone in the table, in index order.
void ApplySheetFriction(SheetStones& stones, float speedLoss);

// Steps the world until every stone left in the table sleeps; a stone found off the sheet by the scan
// after a step is destroyed and its entry cleared. The table must hold at least one stone.
// False when MaxPlaySteps passed first; the stones then stay where that step left them.
bool RunUntilAtRest(SheetStones& stones, b2World& world, float dt);

}  // namespace physics
