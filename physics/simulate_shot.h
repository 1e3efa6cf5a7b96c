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

struct FastPlayScratch;

// The memory one thread reuses from shot to shot (a world's block, the lone runs' buffer). Owned by one
// worker; two threads never share one. Holds nothing that changes a result.
struct SimulationScratch {
    SimulationScratch();
    ~SimulationScratch();
    SimulationScratch(SimulationScratch&&) noexcept;
    SimulationScratch& operator=(SimulationScratch&&) noexcept;

    std::unique_ptr<FastPlayScratch> fast;
};

// What a shot does on a sheet with no other stone, traced once for a shot that is played in many
// positions: how its stone ends, and boxes that cover what the world's broad phase sees of its path. A
// play whose placed stones all stand still and lie nowhere near those boxes then ends the same way
// without a step being played; any other play is played as before. Holds nothing of Box2D.
// A play that comes near a placed stone takes the stone's run up from where the trace stood at the start
// of a box before, rather than from the hack.
struct LoneResume {
    int step = 0;         // 0: the run cannot be taken up there
    float state[6] = {};  // centre x, y, angle, velocity x, y, spin after that step
    float tree[4] = {};   // the stone's broad-phase box then
    float move[6] = {};   // that step's re-insertion into the broad phase: the box passed, the displacement
};

struct LonePath {
    int end = 0;                      // 0: the trace decided nothing, and is of no use
    int endStep = 0;                  // the step at which the stone rested or left the sheet
    records::StonePosition rest{};    // where it rested; it left the sheet otherwise
    std::vector<float> covers;        // lower x, lower y, upper x, upper y of each box, along the path
    std::vector<LoneResume> resumes;  // at the start of each box but the first (resumes[k - 1]: box k)
    // The stone's place before and after each step that re-inserted it into the broad phase (x0, y0,
    // x1, y1), up to the last resumption, and the step of the first: a world whose tree keeps the
    // history of its re-insertions replays them from these.
    std::vector<float> sweeps;
    int firstSweepStep = 0;
};

LonePath TraceLonePath(records::ShotVector shot);

// TraceLonePath of every shot whose index `next` hands out below `count` (next++), into paths[index]:
// the same paths, several shots stepped side by side. Threads that share `next` share the shots.
void TraceLonePaths(const records::ShotVector* shots, LonePath* paths, std::size_t count,
                    std::atomic<std::size_t>& next);

struct PlacedSettling;

// How the placed stones of one record push apart and fall asleep when some overlap, worked out once for
// every play from that record: such a play then needs no world until its stone comes near them. Holds
// nothing of Box2D; empty when the record's stones need no settling or theirs could not be shared.
struct SettledStart {
    std::shared_ptr<const PlacedSettling> settling;
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
// `lone`, when given, is the trace of this very shot; `settled`, SettleStart of this very record (one of
// another record is ignored).
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
