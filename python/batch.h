#pragma once

#include "records/game_state.h"

#include <vector>

namespace python {

// Plays shots[i] on starts[i], or on starts[0] for every shot when starts holds one record, and returns
// the records after them in shot order. The shots are dealt out in small runs to `threads` threads, each
// with a scratch of its own, so the records are the same at any thread count. Takes no Python lock.
std::vector<records::GameState> SimulateBatch(const std::vector<records::GameState>& starts,
                                              const std::vector<records::ShotVector>& shots, int threads);

}  // namespace python
