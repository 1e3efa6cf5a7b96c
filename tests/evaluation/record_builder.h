#pragma once

#include "records/game_state.h"

#include <initializer_list>
#include <utility>

namespace evaluationtest {

constexpr records::StonePosition Tee{2.375f, 4.88f};

// A record with `shotNumber` delivered stones; stones not listed stay at (0, 0).
inline records::GameState Record(int shotNumber,
                                 std::initializer_list<std::pair<int, records::StonePosition>> stones) {
    records::GameState state{};
    state.shotNumber = shotNumber;
    for (const auto& [index, position] : stones) {
        state.stones[index] = position;
    }
    return state;
}

// A point straight behind the tee at `distance` metres.
inline records::StonePosition BehindTee(float distance) {
    return {Tee.x, Tee.y + distance};
}

// Squared tee distance, as scoring computes it in single precision, exactly the house reach: the
// farthest point that is out. The same x on the tee's line is just inside.
constexpr records::StonePosition OnHouseEdge{4.35f, 0x1.385bbap+2f};
constexpr records::StonePosition InsideHouseEdge{4.35f, 4.88f};

}  // namespace evaluationtest
