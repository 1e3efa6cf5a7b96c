#include "evaluation/position_evaluation.h"

#include "evaluation/house_scoring.h"
#include "records/sheet.h"

#include <cassert>
#include <cmath>

namespace evaluation {

double EvaluatePosition(const records::GameState& state, int side) {
    HouseOrder order;
    SortStonesByDistance(state, order);
    double sum = 0.0;
    int rank = 2;
    for (int entry = 0; entry < records::StoneCount; ++entry) {
        int stone = order[entry];
        float squaredDistance = records::SquaredTeeDistance(state.stones[stone]);
        if (!records::InHouse(squaredDistance)) {
            break;
        }
        double term = 100.0 / rank / (static_cast<double>(squaredDistance) + 10.0);
        if ((stone & 1) != (side & 1)) {
            term = -term;
        }
        sum += term;
        ++rank;
    }
    // Sixteen ranks of at most 10 / rank each: a value beyond this has counted a stone twice or one
    // from outside the house.
    assert(std::fabs(sum) <= 24.4);
    return sum;
}

double ShotOutcomeValue(int shotNumberBefore, const records::GameState& after) {
    if (shotNumberBefore == 15) {
        // Negated as an integer, so a blank end is +0.0 and never prints as -0.
        return static_cast<double>(-EndScore(after));
    }
    return EvaluatePosition(after, shotNumberBefore & 1);
}

}  // namespace evaluation
