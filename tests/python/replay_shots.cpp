// The engine's physics as a filter, for the Python tests to compare with: reads records of
// (int32 shot number, float32 vx, vy, int32 curl, float32 x, y of 16 stones) from standard input and
// writes, for each, the 16 stones after SimulateShot on the fast path the engine plays.
#include "physics/simulate_shot.h"

#include <cstdint>
#include <cstdio>

namespace {

struct ShotRecord {
    int32_t shotNumber;
    float vx;
    float vy;
    int32_t curl;
    records::StonePosition stones[records::StoneCount];
};

}  // namespace

int main() {
    physics::SimulationScratch scratch;
    ShotRecord in{};
    while (std::fread(&in, sizeof in, 1, stdin) == 1) {
        records::GameState state{};
        state.shotNumber = in.shotNumber;
        for (int i = 0; i < records::StoneCount; ++i) {
            state.stones[i] = in.stones[i];
        }
        const records::ShotVector shot{in.vx, in.vy, static_cast<uint8_t>(in.curl), {}};
        if (!physics::SimulateShot(state, shot, scratch)) {
            return 1;
        }
        std::fwrite(state.stones, sizeof state.stones, 1, stdout);
    }
    return 0;
}
