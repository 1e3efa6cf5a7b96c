// The stone world against Box2D's b2World, stepped side by side through whole plays and compared after
// every step, field by field and bit for bit (tests/physics/both_worlds.h tells what is compared).
// CTest plays a few shots from every fixture position and from random piles, each up to 2500 steps;
// CURLING_WORLD_COMPARISON=full plays more shots and piles, each up to 12000 steps (a few minutes).

#include "tests/physics/both_worlds.h"

#include "physics/play/play_step.h"
#include "physics/stone_motion.h"
#include "records/sheet.h"
#include "tests/fixtures/position_file.h"
#include "tests/physics/aimed_shots.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

using testing_worlds::AimedAt;

using testing_worlds::Tally;

bool Full() {
    const char* text = std::getenv("CURLING_WORLD_COMPARISON");
    return text != nullptr && std::strcmp(text, "full") == 0;
}

// Stacked stones never sleep, so their plays would run to the step cap.
int StepLimit() {
    return Full() ? 12000 : 2500;
}

// Shots at the record's stones in the house and in front of it: a draw's weight, a firm hit and a
// takeout, both curls in turn.
std::vector<records::ShotVector> ShotsAt(const records::GameState& state, int count) {
    const float speeds[] = {-29.8f, -31.5f, -36.0f, -42.0f};
    std::vector<records::ShotVector> shots;
    std::vector<float> targets;
    for (int i = 0; i < state.shotNumber; ++i) {
        if (state.stones[i].y > 2.9f && state.stones[i].y < 11.3f) {
            targets.push_back(state.stones[i].x);
        }
    }
    if (targets.empty()) {
        targets.push_back(records::TeeX);
    }
    for (int k = 0; k < count; ++k) {
        const float x =
            targets[static_cast<std::size_t>(k) * 7 % targets.size()] + 0.05f * static_cast<float>(k % 3 - 1);
        shots.push_back(AimedAt(x, speeds[k % 4], static_cast<uint8_t>(k % 2)));
    }
    return shots;
}

std::vector<fixtures::PositionFile> FixturePositions() {
    std::vector<fixtures::PositionFile> all = fixtures::LoadPositionFiles();
    for (const char* folder : {FIXTURE_GENERATED_DIR, FIXTURE_HOSTILE_DIR}) {
        for (fixtures::PositionFile& file : fixtures::LoadPositionFiles(folder)) {
            all.push_back(file);
        }
    }
    return all;
}

// Stones around the house in one of four ways: scattered, in touching rows, overlapping, or stacked in
// pairs on one spot.
records::GameState RandomPile(unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    records::GameState state{};
    state.shotNumber = 1 + static_cast<int>(random() % 15);
    const unsigned kind = seed % 4;
    const float diameter = 2.0f * records::StoneRadius;
    for (int i = 0; i < state.shotNumber; ++i) {
        records::StonePosition& at = state.stones[i];
        if (kind == 0 || i == 0) {
            at = {0.6f + 3.5f * unit(random), 3.3f + 6.0f * unit(random)};
            continue;
        }
        const records::StonePosition& previous = state.stones[i - 1];
        const float angle = 6.2831853f * unit(random);
        const float distance =
            kind == 1 ? diameter : (kind == 2 ? diameter * (0.9f + 0.1f * unit(random)) : 0.0f);
        const bool stacked = kind == 3 && i % 2 == 1;
        at = stacked ? previous
                     : records::StonePosition{previous.x + distance * std::cos(angle),
                                              previous.y + distance * std::sin(angle)};
        if (kind == 3 && !stacked) {
            at = {0.6f + 3.5f * unit(random), 3.3f + 6.0f * unit(random)};
        }
    }
    return state;
}

// Piles of every kind, touching, overlapping and stacked, pushing apart and falling asleep while the
// delivery stops short of them: contacts made in the broad phase's order, touching and parting,
// destroyed when their boxes part, and the scan's removals.
TEST(StoneWorld, PilesSettleAsInBox2D) {
    Tally tally;
    const unsigned piles = Full() ? 500 : 120;
    for (unsigned seed = 1; seed <= piles; ++seed) {
        const records::GameState state = RandomPile(seed);
        const records::ShotVector shortOfTheHouse{0.0f, -27.0f, static_cast<uint8_t>(seed % 2), {}};
        const std::string difference = testing_worlds::PlayBoth(state, shortOfTheHouse, StepLimit(), tally);
        ASSERT_EQ(difference, "") << "pile " << seed;
    }
    EXPECT_GT(tally.touchingContacts, 0);
    EXPECT_GT(tally.contactsMade, 0);
    EXPECT_GT(tally.contactsEnded, 0);
    EXPECT_GT(tally.stonesFellAsleep, 0);
    EXPECT_GT(tally.stonesRemoved, 0);
}

void ExpectTally(const Tally& tally) {
    EXPECT_GT(tally.touchingContacts, 0);
    EXPECT_GT(tally.contactsMade, 0);
    EXPECT_GT(tally.contactsEnded, 0);
    EXPECT_GT(tally.stonesFellAsleep, 0);
    EXPECT_GT(tally.stonesWoken, 0);
    EXPECT_GT(tally.stonesRemoved, 0);
    EXPECT_GT(tally.proxiesMoved, 0);
}

// Draws, hits and takeouts at the stones of every fixture position: islands that grow and split,
// warm-started impulses, stones woken by a hit and put to sleep together.
TEST(StoneWorld, StepsAsBox2DFromEveryFixturePosition) {
    Tally tally;
    for (const fixtures::PositionFile& position : FixturePositions()) {
        for (const records::ShotVector& shot : ShotsAt(position.state, Full() ? 12 : 3)) {
            const std::string difference = testing_worlds::PlayBoth(position.state, shot, StepLimit(), tally);
            ASSERT_EQ(difference, "")
                << position.name << ", shot " << shot.vx << " " << shot.vy << " " << int(shot.curl);
        }
    }
    ExpectTally(tally);
}

// The same on random piles: hits on touching rows, overlapping clusters and stacked pairs.
TEST(StoneWorld, StepsAsBox2DFromRandomPiles) {
    Tally tally;
    const unsigned piles = Full() ? 500 : 120;
    for (unsigned seed = 1; seed <= piles; ++seed) {
        const records::GameState state = RandomPile(seed);
        for (const records::ShotVector& shot : ShotsAt(state, 1)) {
            const std::string difference = testing_worlds::PlayBoth(state, shot, StepLimit(), tally);
            ASSERT_EQ(difference, "") << "pile " << seed;
        }
    }
    ExpectTally(tally);
}

}  // namespace
