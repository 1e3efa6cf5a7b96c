#include "engine/input_checks.h"

#include <cmath>

namespace engine {

namespace {

bool Finite(const records::StonePosition& stone) {
    return std::isfinite(stone.x) && std::isfinite(stone.y);
}

bool OnTheSheet(const records::StonePosition& stone) {
    return Finite(stone) && (stone.x != 0.0f || stone.y != 0.0f);
}

}  // namespace

std::vector<std::string> InputNotes(const records::GameState& state, bool prepared) {
    std::vector<std::string> notes;
    if (!prepared) {
        notes.push_back("GO before any ISREADY: every shot is still zero");
    }
    if (state.shotNumber < 0 || state.shotNumber >= records::StoneCount) {
        notes.push_back(
            "GO at shot number " + std::to_string(state.shotNumber) +
            ", outside 0..15: no test shot can be played, every one values the position as it is");
        return notes;
    }
    for (int i = 0; i < state.shotNumber; ++i) {
        if (!Finite(state.stones[i])) {
            notes.push_back("stone " + std::to_string(i) +
                            " has no finite position: it is taken as out of play");
        }
        for (int j = 0; j < i; ++j) {
            const records::StonePosition& a = state.stones[j];
            const records::StonePosition& b = state.stones[i];
            // The physics can neither push apart nor put to rest stones on one spot: every play lasts to the
            // step cap.
            if (OnTheSheet(b) && a.x == b.x && a.y == b.y) {
                notes.push_back("stones " + std::to_string(j) + " and " + std::to_string(i) +
                                " lie on one spot: this search will be slow");
            }
        }
    }
    return notes;
}

}  // namespace engine
