// The stone world against Box2D's b2World, stepped side by side through whole plays and compared after
// every step, field by field and bit for bit (tests/physics/both_worlds.h tells what is compared).
// CTest plays random piles, each up to a step limit; CURLING_WORLD_COMPARISON=full plays more, each to
// the end of its play.

#include "tests/physics/both_worlds.h"

#include "physics/play/play_step.h"
#include "records/sheet.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace {

using testing_worlds::Tally;

bool Full() {
    const char* text = std::getenv("CURLING_WORLD_COMPARISON");
    return text != nullptr && std::strcmp(text, "full") == 0;
}

int StepLimit() {
    return Full() ? physics::MaxPlaySteps : 2500;
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
    const unsigned piles = Full() ? 2000 : 120;
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

}  // namespace
