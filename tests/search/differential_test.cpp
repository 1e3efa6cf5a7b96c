// Every test shot of the grid played through the plain and the fast simulation path must leave the same
// record, byte for byte, and the fast search must fill ValueTable with the values of the plain records.
// CTest plays every 16th test shot of each position (a different 16th for each); the environment
// variable CURLING_DIFFERENTIAL_STRIDE sets the stride, and scripts/differential runs all of them.

#include "evaluation/position_evaluation.h"
#include "physics/simulate_shot.h"
#include "search/search.h"
#include "simulator/shot_inverse.h"
#include "tests/fixtures/position_file.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using physics::SimulationPath;

struct NamedPosition {
    std::string name;
    records::GameState state;
};

// A fixed generator, so that every run plays the same positions.
struct Generator {
    uint64_t seed;
    uint32_t Next() {
        seed = seed * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<uint32_t>(seed >> 33);
    }
    float Uniform(float low, float high) {
        return low + (high - low) * static_cast<float>(Next() % 1000001) / 1e6f;
    }
    template <typename T, std::size_t N>
    T Pick(const T (&values)[N]) {
        return values[Next() % N];
    }
};

// Spacings around the ones that matter: touching (0.29), frozen as the physics leaves stones (0.2885),
// the edge of the world's position correction (0.285), and overlaps it pushes apart.
constexpr float PairSpacings[] = {0.29f, 0.2899f, 0.2885f, 0.2851f, 0.2849f, 0.28f, 0.25f, 0.15f, 0.4f};
constexpr float BoundXs[] = {0.145f, 0.1451f, 4.6049f, 4.605f, 2.375f};
constexpr float BoundYs[] = {2.905f, 2.9051f, 3.195f, 4.735f, 11.134999f, 11.135f, 6.855f};

records::StonePosition GeneratedStone(Generator& g, int kind, const records::GameState& state, int index) {
    switch (kind) {
        case 1:
            if (index > 0 && g.Next() % 4 != 0) {
                const records::StonePosition& near = state.stones[index - 1 - g.Next() % index];
                const float angle = g.Uniform(0.0f, 6.2831853f);
                const float spacing = g.Pick(PairSpacings);
                return {near.x + spacing * std::cos(angle), near.y + spacing * std::sin(angle)};
            }
            return {g.Uniform(1.6f, 3.1f), g.Uniform(3.8f, 6.2f)};
        case 2:
            if (g.Next() % 2 == 0) {
                return {g.Pick(BoundXs), g.Uniform(3.0f, 11.0f)};
            }
            return {g.Uniform(0.3f, 4.4f), g.Pick(BoundYs)};
        case 3:
            if (g.Next() % 3 == 0) {
                return g.Next() % 2 == 0
                           ? records::StonePosition{0.0f, 0.0f}
                           : records::StonePosition{g.Uniform(1.0f, 3.7f), g.Uniform(11.2f, 30.0f)};
            }
            return {g.Uniform(0.5f, 4.2f), g.Uniform(3.0f, 10.5f)};
        default:
            return {g.Uniform(1.2f, 3.55f), g.Uniform(3.2f, 9.5f)};
    }
}

// One position for each shot number, cycling through scattered stones, clusters of touching and
// overlapping stones, stones on the bounds, and stones short of the hog line or off the sheet.
std::vector<NamedPosition> GeneratedPositions() {
    std::vector<NamedPosition> positions;
    Generator g{20260612};
    for (int shotNumber = 0; shotNumber < records::StoneCount; ++shotNumber) {
        const int kind = shotNumber % 4;
        records::GameState state{};
        state.shotNumber = shotNumber;
        state.turnFlag = shotNumber % 2 != 0;
        for (int i = 0; i < shotNumber; ++i) {
            state.stones[i] = GeneratedStone(g, kind, state, i);
        }
        if (shotNumber < records::StoneCount - 1 && kind == 3) {
            state.stones[shotNumber + 1] = {2.375f, 4.88f};  // a stone not yet delivered is ignored
        }
        const char* kinds[] = {"scattered", "clustered", "bounds", "mixed"};
        positions.push_back(
            {std::string("generated_") + kinds[kind] + "_shot" + std::to_string(shotNumber), state});
    }
    return positions;
}

std::vector<NamedPosition> AllPositions() {
    std::vector<NamedPosition> positions;
    for (const fixtures::PositionFile& file : fixtures::LoadPositionFiles()) {
        positions.push_back({file.name, file.state});
    }
    for (NamedPosition& generated : GeneratedPositions()) {
        positions.push_back(generated);
    }
    return positions;
}

const std::vector<NamedPosition>& Positions() {
    static const std::vector<NamedPosition> positions = AllPositions();
    return positions;
}

int Stride() {
    const char* text = std::getenv("CURLING_DIFFERENTIAL_STRIDE");
    const int stride = text != nullptr ? std::atoi(text) : 16;
    return stride > 0 ? stride : 1;
}

void SimulatorCreateShot(records::ShotTarget target, records::ShotVector* shot) {
    *shot = simulator::ShotForTarget(target);
}

class SimulationPaths : public testing::TestWithParam<int> {
protected:
    static void SetUpTestSuite() {
        prepared = std::make_unique<search::Search>();
        prepared->Prepare(SimulatorCreateShot, nullptr);
    }
    static void TearDownTestSuite() { prepared.reset(); }
    static std::unique_ptr<search::Search> prepared;  // the grids of one readiness check
};

std::unique_ptr<search::Search> SimulationPaths::prepared;

// The generated positions cover every shot number by construction; the files add the benchmark's own.
TEST(SimulationPathSet, HasEnoughPositions) {
    EXPECT_GE(Positions().size(), 20u);
}

// Test shots, records and values share one cell index, so the tables are walked as flat arrays.
TEST_P(SimulationPaths, GiveTheSameRecordsAndValues) {
    const NamedPosition& position = Positions()[static_cast<std::size_t>(GetParam())];
    const records::GameState& state = position.state;
    SCOPED_TRACE(position.name);
    prepared->EvaluateTests(state, nullptr, SimulationPath::Fast);
    const search::ValueTable& fastValues = prepared->Values();
    const search::TestTable<records::ShotVector>& shots = prepared->GetTables().testShots;

    const int stride = Stride();
    std::atomic<int> played{0};
    std::atomic<int> mismatches{0};
    std::atomic<int> firstBadCell{-1};
    auto play = [&](int part) {
        physics::SimulationScratch scratch;
        for (int k = GetParam() % stride + part * stride; k < search::ValueTable::CellCount;
             k += 2 * stride) {
            records::GameState plain = state;
            records::GameState fast = state;
            const bool plainPlayed =
                physics::SimulateShot(plain, shots.cells[k], scratch, SimulationPath::Plain);
            const bool fastPlayed =
                physics::SimulateShot(fast, shots.cells[k], scratch, SimulationPath::Fast);
            const double plainValue = evaluation::ShotOutcomeValue(state.shotNumber, plain);
            if (plainPlayed != fastPlayed || std::memcmp(&plain, &fast, sizeof plain) != 0 ||
                std::memcmp(&plainValue, &fastValues.cells[k], sizeof plainValue) != 0) {
                ++mismatches;
                int none = -1;
                firstBadCell.compare_exchange_strong(none, k);
            }
            ++played;
        }
    };
    std::thread helper(play, 1);
    play(0);
    helper.join();
    EXPECT_GT(played.load(), 0);
    EXPECT_EQ(mismatches.load(), 0) << "first differing test cell " << firstBadCell.load();
}

INSTANTIATE_TEST_SUITE_P(Positions, SimulationPaths, testing::Range(0, static_cast<int>(Positions().size())),
                         [](const testing::TestParamInfo<int>& test) {
                             return Positions()[static_cast<std::size_t>(test.param)].name;
                         });

}  // namespace
