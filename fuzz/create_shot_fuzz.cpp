// CreateShot on any twelve bytes: the answer is always a shot the physics can play.
#include "simulator/shot_inverse.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < sizeof(records::ShotTarget)) {
        return 0;
    }
    records::ShotTarget target;
    std::memcpy(&target, data, sizeof target);
    target.curl &= 1;
    const records::ShotVector shot = simulator::ShotForTarget(target);
    if (!std::isfinite(shot.vx) || !std::isfinite(shot.vy) || shot.curl != target.curl) {
        std::abort();
    }
    return 0;
}
