#pragma once

#include "records/game_state.h"

namespace evaluation {

// Stone indices, closest to the tee first over the delivered stones, then the rest in index order.
using HouseOrder = int[records::StoneCount];

// Stable insertion sort of the first shotNumber stones by squared tee distance (ties keep index order);
// the entries from shotNumber on stay in index order. shotNumber is confined to 0..16 first, so no
// record makes the sort read past the 16 stones.
void SortStonesByDistance(const records::GameState& state, int order[records::StoneCount]);

// Stones that score if the end stopped now: positive for the team of even indices, negative for odd.
int EndScore(const records::GameState& state);

}  // namespace evaluation
