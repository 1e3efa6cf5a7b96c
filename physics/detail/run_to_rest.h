#pragma once

#include "physics/detail/inert_stones.h"
#include "physics/detail/sheet_stones.h"
#include "physics/play/play_step.h"
#include "physics/simulate_shot.h"
#include "records/sheet.h"

#include <vector>

class b2World;

namespace physics {

constexpr int VelocityIterations = 10;
constexpr int PositionIterations = 10;

// Two stones closer than this may touch at the next collision test, which compares squared distances
// with (2 radii) squared; the margin only keeps the test away from that boundary.
constexpr float ApartDistance = 2.0f * records::StoneRadius + 0.001f;

// One friction step of speedLoss, with curl, on every stone in the table, in index order.
void ApplySheetFriction(SheetStones& stones, float speedLoss);

// Steps the world until every stone left in the table sleeps; a stone found off the sheet by the scan
// after a step is destroyed and its entry cleared. The table must hold at least one stone.
// False when MaxPlaySteps passed first; the stones then stay where that step left them.
// With frames, the stones' places after each step are appended to them.
[[nodiscard]] bool RunUntilAtRest(SheetStones& stones, b2World& world, float dt,
                                  std::vector<PlayFrame>* frames = nullptr);

// The end-of-step scan: from index 0 up, destroys each stone off the sheet and stops at the first
// stone that is awake. True when it reached the last stone: the play is over.
bool ScanStones(SheetStones& stones, b2World& world);

// One turn of the loop above, for the fast path: a world step of TimeStep (with the library's profile
// clock stopped), the sheet's friction, then the scan that removes stones off the sheet. True when the
// scan reached the last stone: the play is over.
bool PlayStep(SheetStones& stones, b2World& world);

// True when no stone can move again: every body stands still without spin and no two stones touch,
// neither by the contacts the world last updated nor by their present places, but two asleep or two
// inert on their common spot. The world would only put the others to sleep one by one and scan as
// ScanAtRest does; `inert` tells which stones stay awake.
bool NothingCanMove(const SheetStones& stones, b2World& world, InertStones& inert);

}  // namespace physics
