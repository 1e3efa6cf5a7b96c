#pragma once

#include "records/game_state.h"

namespace evaluation {

// Value of a position for the team of parity `side` (only its lowest bit counts): every stone in the
// house, walked closest first until the first stone outside it, adds (100 / rank) / (d² + 10), rank 2
// for the closest, negated for the other team's stones. At most about ±24.4.
double EvaluatePosition(const records::GameState& state, int side);

// What a simulated shot earned the team that delivered it. shotNumberBefore is the searched record's
// shotNumber, not `after`'s: after the last stone of an end (15) it is the negated end score, a whole
// number, otherwise the evaluation of `after` for the delivering team.
double ShotOutcomeValue(int shotNumberBefore, const records::GameState& after);

}  // namespace evaluation
