#include "evaluation/house_scoring.h"

#include <algorithm>

namespace evaluation {

float SquaredTeeDistance(StonePosition stone) {
    float dx = stone.x - TeeX;
    float dy = stone.y - TeeY;
    return dx * dx + dy * dy;
}

void SortStonesByDistance(const GameState& state, int order[StoneCount]) {
    for (int i = 0; i < StoneCount; ++i) {
        order[i] = i;
    }
    int delivered = std::clamp(state.shotNumber, 0, StoneCount);
    for (int i = 1; i < delivered; ++i) {
        // A strict comparison keeps equal distances in index order, and a NaN distance never moves.
        for (int j = i; j > 0 && SquaredTeeDistance(state.stones[order[j - 1]]) >
                                     SquaredTeeDistance(state.stones[order[j]]);
             --j) {
            std::swap(order[j - 1], order[j]);
        }
    }
}

int EndScore(const GameState& state) {
    HouseOrder order;
    SortStonesByDistance(state, order);
    int first = order[0];
    if (!InHouse(SquaredTeeDistance(state.stones[first]))) {
        return 0;
    }
    // The walk goes on into the unsorted tail; it always ends within the 16 entries, since the
    // order holds only eight stones of either team.
    int count = 1;
    for (int entry = 1; entry < StoneCount; ++entry) {
        int stone = order[entry];
        if (!InHouse(SquaredTeeDistance(state.stones[stone])) || stone % 2 != first % 2) {
            break;
        }
        ++count;
    }
    return first % 2 == 0 ? count : -count;
}

}  // namespace evaluation
