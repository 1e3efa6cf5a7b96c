// curling-random: a baseline engine that answers every GO with a candidate shot of the search's grid
// drawn at random, from the seed given as its only argument (1 by default): the same seed and the same
// commands give the same shots. It speaks the engine's protocol; a floor below every real engine.
#include "engine/engine_main.h"

#include <cstdlib>
#include <memory>
#include <random>

int main(int argc, char** argv) {
    const unsigned long long seed = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1;
    auto random = std::make_shared<std::mt19937_64>(seed);
    return engine::RunEngine([random](engine::Engine& engine) {
        engine.standIn.prepare = [&engine] { engine.search.Prepare(engine.createShot, nullptr); };
        engine.standIn.go = [&engine, random](const records::GameState&) {
            const auto& shots = engine.search.GetTables().candidateShots;
            std::uniform_int_distribution<int> cell(0, shots.CellCount - 1);
            return shots.cells[cell(*random)];
        };
    });
}
