#pragma once

#include "physics/plain/sheet_stones.h"
#include "physics/play/play_step.h"
#include "physics/simulate_shot.h"

#include <vector>

class b2World;

namespace physics {

constexpr int VelocityIterations = 10;
constexpr int PositionIterations = 10;

// The outcome the table of bodies holds now, and the same as a frame of a play.
PlayOutcome OutcomeOf(const SheetStones& stones);
PlayFrame FrameOf(const SheetStones& stones);

// One friction step of speedLoss, with curl, on every stone in the table, in index order.
void ApplySheetFriction(SheetStones& stones, float speedLoss);

// Steps the world until every stone left in the table sleeps; a stone found off the sheet by the scan
// after a step is destroyed and its entry cleared. The table must hold at least one stone.
// False when MaxPlaySteps passed first; the stones then stay where that step left them.
// With frames, the stones' places after each step are appended to them.
[[nodiscard]] bool RunUntilAtRest(SheetStones& stones, b2World& world, float dt,
                                  std::vector<PlayFrame>* frames = nullptr);

// The end-of-step scan: from index 0 up, destroys each stone off the sheet and stops at the first
// stone that is awake. True when it passed the last stone: the play is over.
bool PlayOverAfterScan(SheetStones& stones, b2World& world);

// One turn of the loop above: a world step of TimeStep, the sheet's friction, then the scan. True when
// the play is over.
bool PlayOverAfterStep(SheetStones& stones, b2World& world);

}  // namespace physics
