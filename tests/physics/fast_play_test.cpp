// The fast path with the skips the search gives it (each shot's trace, the record's settled start)
// against the plain path, on positions that reach every skip: traces that decide a play or resume it,
// placed stones that stand still, settle apart or burst, and stones that come to rest in contact.

#include "physics/simulate_shot.h"
#include "physics/stone_motion.h"
#include "records/sheet.h"
#include "tests/fixtures/position_file.h"
#include "tests/physics/aimed_shots.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using testing_worlds::AimedAt;

const fixtures::PositionFile& Named(const std::vector<fixtures::PositionFile>& files,
                                    const std::string& name) {
    for (const fixtures::PositionFile& file : files) {
        if (file.name == name) {
            return file;
        }
    }
    ADD_FAILURE() << "no position " << name;
    return files.front();
}

TEST(FastPlay, SkipsGiveThePlainOutcome) {
    const std::vector<fixtures::PositionFile> positions = fixtures::LoadPositionFiles();
    const std::vector<fixtures::PositionFile> hostile = fixtures::LoadPositionFiles(FIXTURE_HOSTILE_DIR);
    const std::vector<const fixtures::PositionFile*> chosen = {
        &Named(positions, "crowded_house_shot8"), &Named(positions, "late_end_shot14"),
        &Named(positions, "pressed_stones"), &Named(hostile, "fifteen_squeezed")};
    physics::SimulationScratch scratch;
    for (const fixtures::PositionFile* position : chosen) {
        const physics::SettledStart settled = physics::SettleStart(position->state);
        int k = 0;
        for (const float x : {1.0f, 1.9f, 2.2f, 2.375f, 2.6f, 3.1f, 3.9f}) {
            for (const float vy : {-27.5f, -29.6f, -31.0f, -36.0f, -44.0f}) {
                const records::ShotVector shot = AimedAt(x, vy, static_cast<uint8_t>(k++ % 2));
                SCOPED_TRACE(testing::Message() << position->name << ", shot " << shot.vx << " " << shot.vy);
                // Every seventh play is given another shot's trace, which it must ignore.
                const physics::LonePath trace =
                    physics::TraceLonePath(k % 7 == 0 ? AimedAt(x, -30.0f, 0) : shot);
                records::GameState fast = position->state;
                records::GameState plain = position->state;
                ASSERT_TRUE(physics::SimulateShot(fast, shot, scratch, physics::SimulationPath::Fast, &trace,
                                                  &settled));
                ASSERT_TRUE(physics::SimulateShot(plain, shot, scratch, physics::SimulationPath::Plain));
                EXPECT_EQ(std::memcmp(&fast, &plain, sizeof fast), 0);
            }
        }
    }
    // The plays reached every skip.
    const physics::PlayCounters& counters = scratch.counters;
    EXPECT_GT(counters.decidedByTrace, 0);
    EXPECT_GT(counters.resumedFromTrace, 0);
    EXPECT_GT(counters.startedSettled, 0);
    EXPECT_GT(counters.decidedQuiet, 0);
    EXPECT_GT(counters.quietSteps, 10 * counters.worldSteps);
}

}  // namespace
