#include "evaluation/house_scoring.h"

#include "records/sheet.h"

#include <algorithm>
#include <cassert>

namespace evaluation {

using records::InHouse;
using records::SquaredTeeDistance;

void SortStonesByDistance(const records::GameState& state, int order[records::StoneCount]) {
    for (int i = 0; i < records::StoneCount; ++i) {
        order[i] = i;
    }
    int delivered = std::clamp(state.shotNumber, 0, records::StoneCount);
    for (int i = 1; i < delivered; ++i) {
        // A strict comparison keeps equal distances in index order, and a NaN distance never moves.
        for (int j = i; j > 0 && SquaredTeeDistance(state.stones[order[j - 1]]) >
                                     SquaredTeeDistance(state.stones[order[j]]);
             --j) {
            std::swap(order[j - 1], order[j]);
        }
    }
}

int EndScore(const records::GameState& state) {
    HouseOrder order;
    SortStonesByDistance(state, order);
    int first = order[0];
    if (!InHouse(state.stones[first])) {
        return 0;
    }
    // The walk goes on into the unsorted tail; it always ends within the 16 entries, since the
    // order holds only eight stones of either team.
    int count = 1;
    for (int entry = 1; entry < records::StoneCount; ++entry) {
        int stone = order[entry];
        if (!InHouse(state.stones[stone]) || stone % 2 != first % 2) {
            break;
        }
        ++count;
    }
    assert(count <= records::StoneCount / 2);
    return first % 2 == 0 ? count : -count;
}

}  // namespace evaluation
