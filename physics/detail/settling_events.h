#pragma once

#include "physics/detail/lone_run.h"
#include "physics/detail/settled_start.h"
#include "physics/detail/sheet_stones.h"

#include <vector>

class b2World;

namespace physics {

// Records how the placed stones of `settled.state` settle when their proxies move: a fresh world with a
// draw delivered, followed step by step to allAsleepStep, each step's events kept and checked against
// what settling found. False when the world does anything else (a stone removed, the delivery touched,
// inert stones); `settled` is then unusable.
[[nodiscard]] bool RecordSettlingEvents(PlacedSettling& settled);

// Brings a world built from the record, its first step played, to the broad phase and contacts the
// settled world has after allAsleepStep: the events replayed with the delivered stone's re-insertions
// of those steps (`delivered`, in step order) at the head of each step, as the world's body order has
// them, each step's pair search checked. False when the world departs from the record; it is then
// unusable.
[[nodiscard]] bool ReplaySettlingEvents(SheetStones& stones, b2World& world, const PlacedSettling& settled,
                                        const std::vector<ProxyMove>& delivered);

}  // namespace physics
