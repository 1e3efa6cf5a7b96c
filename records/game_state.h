#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>

// Sheet coordinates in metres: x across the sheet, y along it (records/sheet.h holds the geometry).
// A stone that is not on the sheet (removed, or not yet delivered) is held at (0, 0).
namespace records {

struct StonePosition {
    float x;
    float y;
};

constexpr int StoneCount = 16;
constexpr int EndScoreSlots = 10;

// The state of the current end as the host describes it. Plain bytes: copying it copies all of it.
struct GameState {
    int32_t shotNumber;    // stones delivered so far in this end, and the index of the next one
    int32_t currentEnd;    // selects the endScores slot that SCORE writes
    int32_t setStateArg3;  // stored and cleared, never read
    int32_t endScores[EndScoreSlots];
    bool turnFlag;                     // flips with every simulated delivery; nothing decides on it
    StonePosition stones[StoneCount];  // stone i is shot i of the end; even indices deliver first
};

// Where a stone is meant to come to rest. Crosses the simulator library boundary by value, so its
// layout is fixed: the curl flag sits in the low byte of a word whose other bytes are zero.
struct ShotTarget {
    float x;
    float y;
    uint8_t curl;  // 0 or 1
    uint8_t padding[3];
};

// A shot as the host plays it: the stone's initial velocity (m/s) and its curl flag.
// The padding is whatever the simulator library leaves there and is never read.
struct ShotVector {
    float vx;
    float vy;
    uint8_t curl;
    uint8_t padding[3];
};

inline ShotTarget MakeShotTarget(float x, float y, int curl) {
    // Any other value would be cut to its low byte: 256 would aim with curl 0.
    assert(curl == 0 || curl == 1);
    ShotTarget target{};  // zeroes the padding, so the third word is exactly the curl flag
    target.x = x;
    target.y = y;
    target.curl = static_cast<uint8_t>(curl);
    return target;
}

// The simulator library's entry point: cdecl, target by value, result written through the pointer.
extern "C" {
typedef void (*CreateShotFunction)(ShotTarget target, ShotVector* shot);
}

static_assert(sizeof(ShotTarget) == 12 && sizeof(ShotVector) == 12, "12-byte library records");
static_assert(offsetof(ShotTarget, x) == 0 && offsetof(ShotTarget, y) == 4 &&
              offsetof(ShotTarget, curl) == 8);
static_assert(offsetof(ShotVector, vx) == 0 && offsetof(ShotVector, vy) == 4 &&
              offsetof(ShotVector, curl) == 8);
static_assert(sizeof(StonePosition) == 8);
static_assert(offsetof(GameState, shotNumber) == 0 && offsetof(GameState, currentEnd) == 4 &&
              offsetof(GameState, setStateArg3) == 8 && offsetof(GameState, endScores) == 12 &&
              offsetof(GameState, turnFlag) == 52 && offsetof(GameState, stones) == 56);
static_assert(sizeof(GameState) == 184);

}  // namespace records
