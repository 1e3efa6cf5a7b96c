#pragma once

#include "records/game_state.h"

#include <cstdint>
#include <random>
#include <string>
#include <vector>

// What the built-in players need to send exactly what the host's engine processes send.
namespace python {

// The shot as the host plays it when an engine process sends it: the reply "BESTSHOT %f %f %d" (six
// decimals) read back by the host's own parser. False, with the host's reason, for a shot the host would
// throw away (too fast, or not finite after rounding).
bool ReadAsReply(const records::ShotVector& shot, records::ShotVector& read, std::string& why);

// The answers of curling-random started with `seed`: its k-th GO (0 for the first) answers candidate
// cell number k of the sequence its generator draws, whatever the position.
class RandomChoices {
public:
    explicit RandomChoices(uint64_t seed);
    records::ShotVector Choice(int k);

private:
    std::mt19937_64 generator_;
    std::vector<int> drawn_;  // the cells of the GOs so far, in order
};

}  // namespace python
