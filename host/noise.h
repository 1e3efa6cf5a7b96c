#pragma once

#include "host/sheet_model.h"
#include "records/game_state.h"

#include <cstdint>

// Execution noise: every delivery misses its aim a little, as a real one does. The noise lives in
// target space, where the engine's search kernels assume it: the point where the sent shot would come
// to rest on an empty sheet moves, and the moved point is turned back into a shot with the same curl.
namespace host {

constexpr double NoiseAcross = 0.0725;  // metres, one standard deviation in x
constexpr double NoiseAlong = 0.29;     // metres, one standard deviation in y

struct NoiseOffset {
    double x = 0.0;  // metres
    double y = 0.0;
};

// The offset of delivery `shotIndex` (counted over the whole game) of game `game`, with the standard
// deviations multiplied by `scale`. A function of its arguments only: the same four give the same offset.
NoiseOffset DrawNoise(uint64_t seed, int game, int shotIndex, double scale);

struct Delivery {
    records::ShotVector played{};
    records::StonePosition aimed{};  // where the sent shot would rest on an empty sheet
    records::StonePosition moved{};  // the aim after noise; equal to aimed when the scale is 0
};

// The shot actually played for `sent`. With scale 0 it is `sent` itself, bit for bit.
Delivery Deliver(const SheetModel& model, const records::ShotVector& sent, const NoiseOffset& offset,
                 double scale);

}  // namespace host
