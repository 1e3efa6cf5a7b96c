// The Python module `curling`: the engine's physics, the simulator library's inverse, the evaluation and
// the search, in-process. Only argument checks and conversions live here; everything else is the C++
// the engine runs.
#include "evaluation/house_scoring.h"
#include "evaluation/position_evaluation.h"
#include "physics/simulate_shot.h"
#include "physics/stone_motion.h"
#include "python/arguments.h"
#include "python/batch.h"
#include "python/game_binding.h"
#include "python/player_binding.h"
#include "python/search_binding.h"
#include "simulator/shot_inverse.h"

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <thread>
#include <vector>

namespace python {

namespace {

constexpr const char* ModuleDoc =
    R"(The curling engine's physics, search and the match host's games, in-process.

Coordinates are metres as 32-bit floats: x across the sheet (4.75 wide, centre line x = 2.375), y along
it, the tee (the centre of the house) at (2.375, 4.88). A delivered stone starts at (2.375, 41.28) and
travels towards smaller y. A stone that is not on the sheet (removed, or not yet delivered) is at (0, 0).

A position is `stones`, an array of shape (16, 2) (x, y of stone i in row i), and `shot_number`, the
number of stones delivered so far in the end (0..15), which is also the index of the next stone. Stone i
is shot i of the end: even indices belong to the team that throws first, odd ones to the team with the
last stone (the hammer). A shot is a Shot (vx, vy, curl): the stone's initial velocity in m/s and its
curl flag, 0 (the path turns counter-clockwise) or 1 (clockwise); a Target (x, y, curl) is where a stone
should rest, in metres, and create_shot() turns it into the shot that rests there.

Physics and search: simulate(), simulate_many(), create_shot(), lone_rest(), score(), evaluate(), Search.
Every result is the engine's own, bit for bit; the same inputs give the same outputs at any thread count.

Games: Game plays one game under the match host's rules and execution noise, stone by stone, exactly as
curling-match referees it (the same seed gives the same game); record() and save() write it as the host
does. curling.players holds the host's players: players.search() (the engine), players.drawer() and
players.random(seed) (its baselines); any callable from a Game to a shot is a player. play_many() plays
the next stone of many games on threads.

Learning: Env is a game against a player as a Gymnasium environment (a gymnasium.Env when gymnasium is
installed; otherwise the same on NumPy alone, its spaces from curling.spaces); VectorEnv steps n of them
at once on threads without the GIL.

Bad inputs (wrong shapes or types, numbers that are not finite, shot numbers or curls out of range, a stone
after the game is over) raise ValueError or TypeError with the reason.)";

constexpr const char* SimulateDoc = R"(Plays one shot, without noise, and returns the stones after it.

stones: (16, 2) positions in metres; shot_number: stones delivered so far, 0..15; shot: (vx, vy, curl).
Returns a (16, 2) float32 array: every stone where it rests, (0, 0) for stones off the sheet or not
delivered. While fewer than five stones are delivered, knocking a guard of the other team out of play
restores the position and takes the delivered stone out instead (free guard zone).

With trajectory=True returns (stones_after, frames): frames is a (steps + 1, 16, 2) float32 array, the
stones once placed and thrown, then after every step of 1/600 s; NaN for a stone not in play. The frames
come from the reference play, which rests exactly where the fast one does but runs until every stone
sleeps.)";

constexpr const char* SimulateManyDoc = R"(Plays a batch of shots on several threads, without the GIL.

stones: (16, 2), one position for every shot, or (n, 16, 2), one each; shot_number: an int, or n ints
(0..15); shots: (n, 3) rows (vx, vy, curl). threads: 0 for one per processor.
Returns an (n, 16, 2) float32 array, row i equal to simulate() of shot i.)";

constexpr const char* CreateShotDoc = R"(The shot that brings a lone stone to rest at (x, y), metres.

Returns a Shot (vx, vy, curl) in m/s, the simulator library's CreateShot: the stone, moved as the
engine moves it, rests within a millimetre of any target the search aims at. curl: 0 or 1, passed through.)";

constexpr const char* LoneRestDoc = R"(Where the shot (vx, vy in m/s, curl 0 or 1) comes to rest alone.

Returns (x, y) in metres: the engine's motion of a stone on an empty sheet, the sheet's bounds ignored.)";

constexpr const char* ScoreDoc = R"(The score of the end if it stopped now.

stones: (16, 2); shot_number: 0..16, the stones delivered (16, the default, counts every stone).
Returns the stones that score: positive for the team of even indices, negative for the hammer team.)";

constexpr const char* EvaluateDoc = R"(The engine's value of a position for the team about to throw.

stones: (16, 2); shot_number: 0..15. Every stone in the house, closest to the tee first, adds
(100 / rank) / (d^2 + 10) with rank 2 for the closest and d the distance from the tee in metres, negated
for the other team's stones; at most about +-24.4.)";

py::object CreateShotFromTarget(double x, double y, double curl) {
    const records::ShotTarget target =
        records::MakeShotTarget(CheckedFloat(x, "x"), CheckedFloat(y, "y"), CheckedCurl(curl));
    return ShotTuple(simulator::ShotForTarget(target));
}

py::tuple LoneRest(double vx, double vy, double curl) {
    const records::StonePosition rest = physics::LoneStoneRestingPoint(CheckedShot(vx, vy, curl));
    return py::make_tuple(rest.x, rest.y);
}

records::GameState CheckedState(const FloatArray& stones, long long shotNumber, int highest) {
    CheckStones(stones, 0);
    return StateFromStones(stones.data(), CheckedShotNumber(shotNumber, highest));
}

FloatArray FramesArray(const std::vector<physics::PlayFrame>& frames) {
    FloatArray array(
        {static_cast<py::ssize_t>(frames.size()), py::ssize_t{records::StoneCount}, py::ssize_t{2}});
    float* out = array.mutable_data();
    for (const physics::PlayFrame& frame : frames) {
        for (int i = 0; i < records::StoneCount; ++i) {
            const float nan = std::numeric_limits<float>::quiet_NaN();
            *out++ = frame.present[i] ? frame.position[i].x : nan;
            *out++ = frame.present[i] ? frame.position[i].y : nan;
        }
    }
    return array;
}

py::object Simulate(const FloatArray& stones, long long shotNumber, const py::object& shotObject,
                    bool trajectory) {
    records::GameState state = CheckedState(stones, shotNumber, LastShotNumber);
    const records::ShotVector shot = ShotFromSequence(shotObject);
    if (!trajectory) {
        {
            py::gil_scoped_release release;
            static_cast<void>(physics::SimulateShot(state, shot));  // the shot number lies in 0..15
        }
        return StonesArray(state);
    }
    std::vector<physics::PlayFrame> frames;
    {
        py::gil_scoped_release release;
        static_cast<void>(physics::SimulateShotFrames(state, shot, frames));
    }
    return py::make_tuple(StonesArray(state), FramesArray(frames));
}

std::vector<records::ShotVector> CheckedShots(const DoubleArray& shots) {
    if (shots.ndim() != 2 || shots.shape(1) != 3) {
        throw py::value_error("shots must have shape (n, 3), rows (vx, vy, curl)");
    }
    std::vector<records::ShotVector> checked(static_cast<std::size_t>(shots.shape(0)));
    const auto rows = shots.unchecked<2>();
    for (py::ssize_t i = 0; i < shots.shape(0); ++i) {
        try {
            checked[static_cast<std::size_t>(i)] = CheckedShot(rows(i, 0), rows(i, 1), rows(i, 2));
        } catch (const py::value_error& error) {
            throw py::value_error("shots[" + std::to_string(i) + "]: " + error.what());
        }
    }
    return checked;
}

// One record for all shots, or one for each, with the shot numbers given as one int or one per record.
std::vector<records::GameState> CheckedStarts(const FloatArray& stones, const py::object& shotNumbers,
                                              std::size_t shotCount) {
    const bool perShot = stones.ndim() == 3;
    CheckStones(stones, perShot ? 1 : 0);
    const std::size_t count = perShot ? static_cast<std::size_t>(stones.shape(0)) : 1;
    if (perShot && count != shotCount) {
        throw py::value_error("stones holds " + std::to_string(count) + " positions for " +
                              std::to_string(shotCount) + " shots");
    }
    // One integer for all positions, or one per position; a float or a bool is refused, not rounded.
    const py::array given = py::array::ensure(shotNumbers);
    const char kind = given ? given.dtype().kind() : '?';
    const py::ssize_t length = given && given.ndim() == 1 ? given.shape(0) : -1;
    if ((kind != 'i' && kind != 'u') || given.ndim() > 1 ||
        (given.ndim() == 1 && length != py::ssize_t(count))) {
        throw py::value_error("shot_number must be an int, or one int per position of stones (" +
                              std::to_string(count) + ")");
    }
    const auto numbers = given.cast<py::array_t<long long, py::array::forcecast>>();
    const auto number = [&](std::size_t i) { return numbers.data()[given.ndim() == 0 ? 0 : i]; };
    std::vector<records::GameState> starts(count);
    for (std::size_t i = 0; i < count; ++i) {
        starts[i] = StateFromStones(stones.data() + i * records::StoneCount * 2,
                                    CheckedShotNumber(number(i), LastShotNumber));
    }
    return starts;
}

FloatArray SimulateMany(const FloatArray& stones, const py::object& shotNumbers, const DoubleArray& shots,
                        long long threads) {
    const std::vector<records::ShotVector> checkedShots = CheckedShots(shots);
    const std::vector<records::GameState> starts = CheckedStarts(stones, shotNumbers, checkedShots.size());
    if (threads < 0) {
        throw py::value_error("threads must be 0 (one per processor) or more, got " +
                              std::to_string(threads));
    }
    const int threadCount = threads > 0 ? static_cast<int>(std::min<long long>(threads, 1024))
                                        : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    std::vector<records::GameState> ends;
    {
        py::gil_scoped_release release;
        ends = SimulateBatch(starts, checkedShots, threadCount);
    }
    FloatArray result(
        {static_cast<py::ssize_t>(ends.size()), py::ssize_t{records::StoneCount}, py::ssize_t{2}});
    float* out = result.mutable_data();
    for (const records::GameState& end : ends) {
        std::memcpy(out, end.stones, sizeof(end.stones));
        out += records::StoneCount * 2;
    }
    return result;
}

int Score(const FloatArray& stones, long long shotNumber) {
    return evaluation::EndScore(CheckedState(stones, shotNumber, EndOverShotNumber));
}

double Evaluate(const FloatArray& stones, long long shotNumber) {
    const records::GameState state = CheckedState(stones, shotNumber, LastShotNumber);
    return evaluation::EvaluatePosition(state, state.shotNumber & 1);
}

}  // namespace

}  // namespace python

PYBIND11_MODULE(_curling, module) {
    using namespace python;
    using py::arg;
    module.doc() = ModuleDoc;
    // Box2D's one-time set-up, on the importing thread before any batch starts threads.
    physics::WarmUp();
    BindGame(module);
    module.def("simulate", &Simulate, SimulateDoc, arg("stones"), arg("shot_number"), arg("shot"),
               arg("trajectory") = false);
    module.def("simulate_many", &SimulateMany, SimulateManyDoc, arg("stones"), arg("shot_number"),
               arg("shots"), arg("threads") = 0);
    module.def("create_shot", &CreateShotFromTarget, CreateShotDoc, arg("x"), arg("y"), arg("curl"));
    module.def("lone_rest", &LoneRest, LoneRestDoc, arg("vx"), arg("vy"), arg("curl"));
    module.def("score", &Score, ScoreDoc, arg("stones"), arg("shot_number") = EndOverShotNumber);
    module.def("evaluate", &Evaluate, EvaluateDoc, arg("stones"), arg("shot_number"));
    BindSearch(module);
    BindPlayers(module);
}
