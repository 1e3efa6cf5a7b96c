#pragma once

#include "front/game_state.h"

namespace evaluation {

constexpr float TeeX = 2.375f;
constexpr float TeeY = 4.88f;
// Squared reach of a scoring stone: house radius 1.83 plus stone radius 0.145, squared.
constexpr float HouseReachSquared = 3.900625f;

// Stone indices, closest to the tee first over the delivered stones, then the rest in index order.
using HouseOrder = int[StoneCount];

// Squared distance of a stone's centre from the tee, in single precision; NaN for a NaN position.
float SquaredTeeDistance(StonePosition stone);

// True when the stone's centre lies strictly within the house reach; never for a NaN distance.
inline bool InHouse(float squaredDistance) {
    return squaredDistance < HouseReachSquared;
}

// Stable insertion sort of the first shotNumber stones by squared tee distance (ties keep index order);
// the entries from shotNumber on stay in index order. shotNumber is confined to 0..16 first, so no
// record makes the sort read past the 16 stones.
void SortStonesByDistance(const GameState& state, int order[StoneCount]);

// Stones that score if the end stopped now: positive for the team of even indices, negative for odd.
int EndScore(const GameState& state);

}  // namespace evaluation
