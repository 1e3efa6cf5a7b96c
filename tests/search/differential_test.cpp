// Every test shot of the grid played through the plain and the fast simulation path must leave the same
// record, byte for byte, and the fast search must fill ValueTable with the values of the plain records.
// CTest plays every 16th test shot of each position (a different 16th for each); the environment
// variable CURLING_DIFFERENTIAL_STRIDE sets the stride, and scripts/differential runs all of them.
// Where two stones share a spot every plain play runs to the step cap, so those take an 8 times longer
// stride.

#include "evaluation/position_evaluation.h"
#include "physics/simulate_shot.h"
#include "search/search.h"
#include "simulator/shot_inverse.h"
#include "tests/fixtures/position_file.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using physics::SimulationPath;

// The benchmark positions, then positions generated once from a fixed seed: one for each shot number,
// cycling through scattered stones, clusters of touching and overlapping stones, stones on the bounds,
// and stones short of the hog line, off the sheet or not yet delivered. Last, the piles of the hostile
// benchmark positions that burst apart by themselves (piles on one spot would take hours on the plain path).
std::vector<fixtures::PositionFile> AllPositions() {
    std::vector<fixtures::PositionFile> positions = fixtures::LoadPositionFiles();
    for (fixtures::PositionFile& generated : fixtures::LoadPositionFiles(FIXTURE_GENERATED_DIR)) {
        generated.name = "generated_" + generated.name;
        positions.push_back(generated);
    }
    for (fixtures::PositionFile& pile : fixtures::LoadPositionFiles(FIXTURE_HOSTILE_DIR)) {
        if (!fixtures::StonesShareASpot(pile.state)) {
            pile.name = "hostile_" + pile.name;
            positions.push_back(pile);
        }
    }
    return positions;
}

const std::vector<fixtures::PositionFile>& Positions() {
    static const std::vector<fixtures::PositionFile> positions = AllPositions();
    return positions;
}

int Stride() {
    const char* text = std::getenv("CURLING_DIFFERENTIAL_STRIDE");
    return text != nullptr && std::atoi(text) > 0 ? std::atoi(text) : 16;
}

class SimulationPaths : public testing::TestWithParam<int> {
protected:
    static void SetUpTestSuite() {
        prepared = std::make_unique<search::Search>();
        prepared->Prepare(simulator::WriteShotForTarget, nullptr);
    }
    static void TearDownTestSuite() { prepared.reset(); }
    static std::unique_ptr<search::Search> prepared;  // the grids of one readiness check
};

std::unique_ptr<search::Search> SimulationPaths::prepared;

// Test shots, records and values share one cell index, so the tables are walked as flat arrays.
TEST_P(SimulationPaths, GiveTheSameRecordsAndValues) {
    const fixtures::PositionFile& position = Positions()[static_cast<std::size_t>(GetParam())];
    const records::GameState& state = position.state;
    SCOPED_TRACE(position.name);
    prepared->EvaluateTests(state, nullptr, SimulationPath::Fast);
    const search::ValueTable& fastValues = prepared->Values();
    const search::TestTable<records::ShotVector>& shots = prepared->GetTables().testShots;

    const int stride = Stride() * (fixtures::StonesShareASpot(state) ? 8 : 1);
    // The fast plays take the skips the search takes: each test shot's trace, the record's settled start.
    const std::vector<physics::LonePath>& traces = prepared->GetTables().testLonePaths;
    const physics::SettledStart settled = physics::SettleStart(state);
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
            const bool fastPlayed = physics::SimulateShot(fast, shots.cells[k], scratch, SimulationPath::Fast,
                                                          &traces[static_cast<std::size_t>(k)], &settled);
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
