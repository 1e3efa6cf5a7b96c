#pragma once

#include "records/game_state.h"

#include <atomic>
#include <cstddef>
#include <memory>
#include <vector>

namespace physics {

// How SimulateShot plays a shot. Both give bit-identical records; the plain path, every shot a full
// world stepped until every stone sleeps, is the reference that tests and benchmarks compare with.
enum class SimulationPath { Fast, Plain };

// How the fast path played its shots: which skip decided each play, and how many steps the stone world
// took in full and how many the skips took over. A fast play never falls back to Box2D.
struct PlayCounters {
    long plays = 0;
    long decidedByTrace = 0;    // the readiness trace showed the play meeting nothing: no world built
    long resumedFromTrace = 0;  // taken up where the trace stood before it came near a stone
    long startedSettled = 0;    // started where the placed stones had settled
    long decidedQuiet = 0;      // ended within the quiet steps: over, or nothing could change any more
    long decidedRepeat = 0;     // ended as at the step cap: the world repeats itself every two steps
    long worldSteps = 0;        // full steps of the stone world
    long quietSteps = 0;        // steps the quiet-step skip took

    PlayCounters& operator+=(const PlayCounters& other);
};

// What one thread keeps from shot to shot: the counters of its plays. Owned by one worker; two threads
// never share one. Holds nothing that changes a result.
struct SimulationScratch {
    PlayCounters counters;
};

// How a traced stone ended on an empty sheet.
enum class TraceEnd {
    Undecided,  // it still moved at the step cap
    Rests,      // it fell asleep on the sheet
    Removed,    // the scan found it off the sheet
};

// What a shot does on a sheet with no other stone, traced once for a shot that is played in many
// positions (the readiness check traces every test shot): how its stone ends, and boxes that cover every
// fat box its proxy takes on the way. A play whose placed stones stand still, with fat boxes that none of
// those covers meets, ends the same way without a world; one that comes near them takes the stone up
// where the trace stood before. Stamped with its shot: a play of another shot ignores it.
// A point of a trace at which a play that comes near a stone later may take the stone up: its state
// after the step whose proxy re-insertion began a cover.
struct LoneResume {
    int step = 0;
    float x = 0.0f;  // centre
    float y = 0.0f;
    float angle = 0.0f;
    float vx = 0.0f;
    float vy = 0.0f;
    float spin = 0.0f;
    float sleepTime = 0.0f;
    float fatBox[4] = {};  // lower x, lower y, upper x, upper y
};

struct LonePath {
    records::ShotVector shot{};
    TraceEnd end = TraceEnd::Undecided;
    int endStep = 0;                  // the step at which the stone fell asleep or was removed
    records::StonePosition rest{};    // where it fell asleep
    std::vector<float> covers;        // lower x, lower y, upper x, upper y of each cover, along the path
    std::vector<LoneResume> resumes;  // resumes[k - 1] began cover k
};

LonePath TraceLonePath(records::ShotVector shot);

// TraceLonePath of every shot whose index `next` hands out below `count` (next++), into paths[index]:
// the same paths, several shots stepped side by side. Threads that share `next` share the shots.
void TraceLonePaths(const records::ShotVector* shots, LonePath* paths, std::size_t count,
                    std::atomic<std::size_t>& next);

struct PlacedStones;

// What the placed stones of one record do while a delivery is far from them, worked out once for every
// play from that record (a search's test shots): whether they stand still from the first step on, their
// fat boxes, and when they fall asleep. Empty for a record whose shotNumber lies outside 0..15.
struct SettledStart {
    std::shared_ptr<const PlacedStones> placed;
};

SettledStart SettleStart(const records::GameState& state);

// Completes the physics library's lazy one-time set-up (its table of contact types is filled, without a
// lock, by the first contact a world creates). Call it once before threads simulate at the same time;
// SimulateShot also calls it, so a forgotten call costs nothing but a race-free first use.
void WarmUp();

// Plays one shot on a fresh world from the record and writes the outcome into it: stone positions
// ((0, 0) for every stone not on the sheet), shotNumber one higher, turnFlag inverted. The first four
// stones of an end obey the free guard zone rule: a guard of the other team knocked out of play
// restores the position and takes the delivered stone out instead.
// False, with the record untouched, when shotNumber lies outside 0..15.
// Deterministic: each call owns its world and touches only the record and the scratch it is given.
// `lone`, when given, is TraceLonePath of a shot, used only if it is this one; `settled`, SettleStart of
// a record, used only if it is this one.
[[nodiscard]] bool SimulateShot(records::GameState& state, records::ShotVector shot,
                                SimulationScratch& scratch, SimulationPath path = SimulationPath::Fast,
                                const LonePath* lone = nullptr, const SettledStart* settled = nullptr);

// The same with a scratch of its own, for callers that play a shot now and then.
[[nodiscard]] bool SimulateShot(records::GameState& state, records::ShotVector shot,
                                SimulationPath path = SimulationPath::Fast);

// Where every stone of a play is at one moment; present is false for a stone not in the world.
struct PlayFrame {
    bool present[records::StoneCount] = {};
    records::StonePosition position[records::StoneCount] = {};
};

// SimulateShot on the plain path, which writes the same record as the fast one, keeping the play as
// it went: a frame once the stones are placed and thrown, then one after every step. The frames show
// the play even when the free guard zone rule then restores the record.
[[nodiscard]] bool SimulateShotFrames(records::GameState& state, records::ShotVector shot,
                                      std::vector<PlayFrame>& frames);

}  // namespace physics
