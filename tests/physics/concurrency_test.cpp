#include "physics/simulate_shot.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

namespace {

struct Scenario {
    records::GameState state;
    records::ShotVector shot;
};

// Crowded houses struck at various speeds, angles and curls: every play has several collisions.
std::vector<Scenario> CollisionScenarios() {
    std::vector<Scenario> scenarios;
    for (int k = 0; k < 8; ++k) {
        Scenario scenario{};
        scenario.state.shotNumber = 6 + k % 4;
        for (int i = 0; i < scenario.state.shotNumber; ++i) {
            const float column = static_cast<float>(i % 3) - 1.0f;
            const float row = static_cast<float>(i / 3);
            scenario.state.stones[i] = {2.375f + 0.31f * column + 0.02f * static_cast<float>(k),
                                        4.4f + 0.33f * row};
        }
        // Aimed against the curl, so that every path crosses the cluster.
        const float aim = (k % 2 == 0 ? -1.0f : 1.0f) * (0.3f + 0.02f * static_cast<float>(k));
        scenario.shot = {aim, -31.0f - 1.2f * static_cast<float>(k), static_cast<uint8_t>(k % 2), {}};
        scenarios.push_back(scenario);
    }
    return scenarios;
}

// The bytes the physics decides: stone positions, shotNumber and turnFlag.
uint64_t HashOutcome(uint64_t hash, const records::GameState& state) {
    auto mix = [&hash](const void* data, std::size_t size) {
        const auto* bytes = static_cast<const unsigned char*>(data);
        for (std::size_t i = 0; i < size; ++i) {
            hash = (hash ^ bytes[i]) * 0x100000001b3ull;
        }
    };
    mix(&state.shotNumber, sizeof state.shotNumber);
    mix(&state.turnFlag, sizeof state.turnFlag);
    mix(state.stones, sizeof state.stones);
    return hash;
}

std::vector<records::GameState> PlayAll(const std::vector<Scenario>& scenarios) {
    std::vector<records::GameState> results;
    for (const Scenario& scenario : scenarios) {
        records::GameState state = scenario.state;
        EXPECT_TRUE(physics::SimulateShot(state, scenario.shot));
        results.push_back(state);
    }
    return results;
}

// Runs in a process of its own under CTest, so the first contacts of the process really are made by
// 17 threads at once, as at the first search.
TEST(PhysicsThreads, SeventeenConcurrentPlaysMatchASequentialRun) {
    constexpr int ThreadCount = 17;
    const std::vector<Scenario> scenarios = CollisionScenarios();
    std::vector<std::vector<records::GameState>> concurrent(ThreadCount);
    std::atomic<int> ready{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < ThreadCount; ++t) {
        threads.emplace_back([&, t] {
            ready.fetch_add(1);
            while (ready.load() < ThreadCount) {
                std::this_thread::yield();
            }
            concurrent[t] = PlayAll(scenarios);
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    const std::vector<records::GameState> sequential = PlayAll(scenarios);
    for (std::size_t s = 0; s < scenarios.size(); ++s) {
        SCOPED_TRACE(testing::Message() << "scenario " << s);
        const records::GameState& before = scenarios[s].state;
        EXPECT_NE(std::memcmp(sequential[s].stones, before.stones,
                              sizeof(records::StonePosition) * before.shotNumber),
                  0)
            << "the shot struck nothing";
    }
    for (int t = 0; t < ThreadCount; ++t) {
        for (std::size_t s = 0; s < scenarios.size(); ++s) {
            SCOPED_TRACE(testing::Message() << "thread " << t << ", scenario " << s);
            EXPECT_EQ(std::memcmp(&concurrent[t][s], &sequential[s], sizeof(records::GameState)), 0);
        }
    }
}

// When a change is meant to alter the physics, update the constant in the same commit and say why.
// Box2D calls libm's sinf and cosf, so the constant belongs to this toolchain and library image.
TEST(PhysicsThreads, OutcomeFingerprint) {
    uint64_t hash = 0xcbf29ce484222325ull;
    for (const records::GameState& state : PlayAll(CollisionScenarios())) {
        hash = HashOutcome(hash, state);
    }
    EXPECT_EQ(hash, 0xe61470adcda6c6bull);
}

}  // namespace
