#pragma once

#include "front/game_state.h"

#include <initializer_list>
#include <utility>

namespace evaluationtest {

constexpr StonePosition Tee{2.375f, 4.88f};

// A record with `shotNumber` delivered stones; stones not listed stay at (0, 0).
inline GameState Record(int shotNumber, std::initializer_list<std::pair<int, StonePosition>> stones) {
    GameState state{};
    state.shotNumber = shotNumber;
    for (const auto& [index, position] : stones) {
        state.stones[index] = position;
    }
    return state;
}

// A point straight behind the tee at `distance` metres.
inline StonePosition BehindTee(float distance) {
    return {Tee.x, Tee.y + distance};
}

// Squared tee distance, as scoring computes it in single precision, exactly the house reach: the
// farthest point that is out. The same x on the tee's line is just inside.
constexpr StonePosition OnHouseEdge{4.35f, 0x1.385bbap+2f};
constexpr StonePosition InsideHouseEdge{4.35f, 4.88f};

}  // namespace evaluationtest
