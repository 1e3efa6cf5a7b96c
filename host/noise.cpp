#include "host/noise.h"

#include <random>

namespace host {

NoiseOffset DrawNoise(uint64_t seed, int game, int shotIndex, double scale) {
    std::seed_seq words{static_cast<uint32_t>(seed), static_cast<uint32_t>(seed >> 32),
                        static_cast<uint32_t>(game), static_cast<uint32_t>(shotIndex)};
    std::mt19937_64 generator(words);
    std::normal_distribution<double> standard(0.0, 1.0);
    NoiseOffset offset;
    offset.x = standard(generator) * (NoiseAcross * scale);
    offset.y = standard(generator) * (NoiseAlong * scale);
    return offset;
}

Delivery Deliver(const SheetModel& model, const records::ShotVector& sent, const NoiseOffset& offset,
                 double scale) {
    Delivery delivery;
    delivery.aimed = model.restingPoint(sent);
    if (scale == 0.0) {
        delivery.played = sent;
        delivery.moved = delivery.aimed;
        return delivery;
    }
    delivery.moved.x = static_cast<float>(static_cast<double>(delivery.aimed.x) + offset.x);
    delivery.moved.y = static_cast<float>(static_cast<double>(delivery.aimed.y) + offset.y);
    delivery.played =
        model.shotForTarget(records::MakeShotTarget(delivery.moved.x, delivery.moved.y, sent.curl));
    delivery.played.curl = sent.curl;
    return delivery;
}

}  // namespace host
