#include "physics/simulate_shot.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <thread>
#include <vector>

namespace {

// Draws, guards, takeouts, shots off the side and through the back, both curls; then shots that leave
// the common path at once: no speed, a speed the world caps, speeds that are not finite. The count is
// no multiple of the lanes, and a still shot follows moving ones.
std::vector<records::ShotVector> VariedShots() {
    std::vector<records::ShotVector> shots;
    const float speeds[] = {0.4f, 8.0f, 20.0f, 27.5f, 29.6f, 30.8f, 33.0f, 38.0f, 48.0f};
    const float sideways[] = {-2.4f, -0.9f, 0.0f, 0.35f, 1.2f, 3.1f};
    for (float speed : speeds) {
        for (float side : sideways) {
            for (uint8_t curl : {0, 1}) {
                shots.push_back(records::ShotVector{side * speed / 30.0f, -speed, curl, {}});
            }
        }
    }
    const float infinity = std::numeric_limits<float>::infinity();
    shots.push_back(records::ShotVector{0.0f, 0.0f, 1, {}});
    shots.push_back(records::ShotVector{0.0f, -2000.0f, 1, {}});
    shots.push_back(records::ShotVector{300.0f, -1500.0f, 0, {}});
    shots.push_back(records::ShotVector{0.0f, -infinity, 1, {}});
    shots.push_back(records::ShotVector{std::nanf(""), -29.6f, 0, {}});
    shots.push_back(records::ShotVector{0.0f, -29.6f, 1, {}});
    return shots;
}

bool SameFloats(const std::vector<float>& a, const std::vector<float>& b) {
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof a[0]) == 0);
}

void ExpectSamePath(const physics::LonePath& want, const physics::LonePath& got, std::size_t shot) {
    SCOPED_TRACE(testing::Message() << "shot " << shot);
    EXPECT_EQ(0, std::memcmp(&want.shot, &got.shot, sizeof want.shot));
    EXPECT_EQ(want.end, got.end);
    EXPECT_EQ(want.endStep, got.endStep);
    EXPECT_EQ(0, std::memcmp(&want.rest, &got.rest, sizeof want.rest));
    EXPECT_TRUE(SameFloats(want.covers, got.covers));
    ASSERT_EQ(want.resumes.size(), got.resumes.size());
    for (std::size_t k = 0; k < want.resumes.size(); ++k) {
        EXPECT_EQ(0, std::memcmp(&want.resumes[k], &got.resumes[k], sizeof want.resumes[k]))
            << "resume " << k;
    }
}

TEST(LoneTraces, SideBySideTheyAreTheTracesOneByOne) {
    const std::vector<records::ShotVector> shots = VariedShots();
    std::vector<physics::LonePath> want;
    for (const records::ShotVector& shot : shots) {
        want.push_back(physics::TraceLonePath(shot));
    }
    // The set reaches every way a trace ends, and points to take a stone up from.
    int rests = 0;
    int removed = 0;
    int resumable = 0;
    for (const physics::LonePath& path : want) {
        rests += path.end == physics::TraceEnd::Rests;
        removed += path.end == physics::TraceEnd::Removed;
        resumable += !path.resumes.empty();
    }
    EXPECT_GT(rests, 20);
    EXPECT_GT(removed, 20);
    EXPECT_GT(resumable, 20);

    for (int threads : {1, 2}) {
        SCOPED_TRACE(testing::Message() << threads << " threads");
        std::vector<physics::LonePath> got(shots.size());
        std::atomic<std::size_t> next{0};
        std::vector<std::thread> helpers;
        for (int k = 1; k < threads; ++k) {
            helpers.emplace_back(
                [&] { physics::TraceLonePaths(shots.data(), got.data(), shots.size(), next); });
        }
        physics::TraceLonePaths(shots.data(), got.data(), shots.size(), next);
        for (std::thread& helper : helpers) {
            helper.join();
        }
        for (std::size_t k = 0; k < shots.size(); ++k) {
            ExpectSamePath(want[k], got[k], k);
        }
    }
}

}  // namespace
