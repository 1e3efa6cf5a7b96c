#include "python/game_binding.h"

#include "host/match_rules.h"
#include "host/match_runner.h"
#include "host/protocol.h"
#include "python/arguments.h"
#include "python/game_files.h"
#include "python/game_in_play.h"
#include "simulator/shot_inverse.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <cmath>
#include <limits>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace python {

namespace {

constexpr const char* ShotDoc = R"(A shot as the host plays it: vx, vy, the stone's initial velocity in m/s
(the stone travels towards smaller y, so vy is negative), and curl, 0 or 1.)";

constexpr const char* TargetDoc = R"(Where a stone is meant to come to rest: x, y in metres and curl, 0 or 1.
A target becomes a shot through create_shot(), the simulator library's CreateShot, as an engine's would.)";

constexpr const char* GameDoc = R"(One game under the match host's rules, played one stone at a time.

Game(ends=8, seed=1, noise=1.0, *, game=1, hammer=1): `ends` regular ends (1..100); a tie after them
brings up to 3 extra ends, then the game is a draw. The execution noise is the host's: the point where
the sent shot would rest alone moves by normal noise of 0.0725 m across and 0.29 m along the sheet, times
`noise` (0..100; 0 plays every shot as sent), drawn from `seed`, the game number `game` and the stone's
place in the game, exactly as curling-match --seed draws it for game `game` of a match. Team `hammer`
(0 or 1) holds the last stone of the first end; curling-match gives it to team 1 in odd-numbered games.

Team 0 is the match's first engine (red), team 1 the second (yellow). In every end the team without the
hammer throws the even-numbered stones. Each end is scored with the engine's house scoring; the scoring
team gives up the hammer, a blank end keeps it. A stone short of the hog line or off the sheet is taken
out of play, and the free guard zone rule holds for the first four stones of an end.

play() throws the next stone. A Game is not shared between threads while it plays: any use from another
thread meanwhile raises RuntimeError.)";

constexpr const char* PlayDoc = R"(Throws the next stone and returns what happened, a PlayedShot.

shot: the shot the team sends, (vx, vy, curl) in m/s; a Target (x, y, curl) in metres is turned into the
shot that rests there alone, with create_shot. Or pass target=(x, y, curl). Plain tuples, lists and
arrays are shots. paths=True also keeps every moving stone's path (the plain play of every step: slower).
ValueError when the game is over, for numbers that are not finite, a curl other than 0 or 1, or a speed
above 100 m/s (the host throws such a stone away); TypeError for anything but three real numbers.)";

constexpr const char* PlayedShotDoc = R"(What one stone of a game did.

end: the end (0 for the first); shot: the stone's number in the end, 0..15, also its index in stones;
team: 0 or 1. sent: the Shot as the team sent it; played: the Shot after the execution noise. aimed: (x, y)
in metres, where the sent shot would rest alone on an empty sheet; moved: that point after the noise.
stones: (16, 2) float32, every stone after the shot in metres, (0, 0) for stones not in play. path: None,
or with paths=True a (frames, 16, 2) float32 array of every stone's centre every 0.1 simulated seconds
until all rest, NaN for a stone not on the sheet. scored: None, or for an end's last stone the end's
points (team 0, team 1).)";

constexpr const char* RecordDoc = R"(The game as curling-match records it: the lines of its record.jsonl.

A "game" line (the teams named by `names`, two strings, "team 0" and "team 1" by default), a "shot" line
for every stone (sent and played shot, aimed and moved resting point, the stones after it, and their
paths for stones played with paths=True), an "end" line for every end and, once the game is over, the
"result" line: each a JSON object, without its line end.)";

constexpr const char* SaveDoc =
    R"(Writes the game as curling-match writes one into `folder` (made if missing):
record.jsonl, replay.html and the replay's data, replay-data.js. Open replay.html in a browser to watch
the game; stones played with paths=True move along their paths. `names` as for record(). OSError when a
file cannot be written.)";

constexpr const char* PlayManyDoc = R"(Throws the next stone of each game at once, on threads without the GIL.

games: a sequence of n distinct Games, none over; actions: (n, 3) rows, shots (vx, vy, curl) in m/s, or
targets (x, y, curl) in metres when targets=True. threads: 0 for one per processor. Returns the n
PlayedShots in the games' order; each game is played as play() would play it, so the games come out the
same at any thread count. The checks of play() apply to every row before any stone is thrown.)";

py::handle shotType;  // the Shot and Target tuple types, made once at import and never freed
py::handle targetType;

// The speed limit is the host's: a faster reply loses the stone there, so here it is refused.
records::ShotVector CheckedSent(const records::ShotVector& shot) {
    if (std::hypot(shot.vx, shot.vy) > host::MaxShotSpeed) {
        throw py::value_error("a speed above 100 m/s: the host throws such a stone away");
    }
    return shot;
}

records::ShotVector ShotOfTarget(float x, float y, uint8_t curl) {
    return simulator::ShotForTarget(records::MakeShotTarget(x, y, curl));
}

records::ShotVector SentShot(const py::object& shot, const py::object& target) {
    if (shot.is_none() == target.is_none()) {
        throw py::type_error("play() takes a shot or a target, not " +
                             std::string(shot.is_none() ? "neither" : "both"));
    }
    if (!target.is_none() || py::isinstance(shot, targetType)) {
        const Triple aim = CheckedTriple(target.is_none() ? shot : target, "target");
        return CheckedSent(ShotOfTarget(aim.first, aim.second, aim.curl));
    }
    const Triple sent = CheckedTriple(shot, "shot");
    return CheckedSent(records::ShotVector{sent.first, sent.second, sent.curl, {}});
}

struct PlayedShot {
    host::ShotEntry entry;
    py::object scored = py::none();
};

bool SameShot(const records::ShotVector& a, const records::ShotVector& b) {
    return a.vx == b.vx && a.vy == b.vy && a.curl == b.curl;
}

bool SamePoints(const records::StonePosition* a, const records::StonePosition* b, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        if (a[i].x != b[i].x || a[i].y != b[i].y) {
            return false;
        }
    }
    return true;
}

// Equal when every number of the stone is equal: two plays of one stone in equal games are.
bool SamePlayed(const PlayedShot& a, const PlayedShot& b) {
    const host::ShotEntry &x = a.entry, &y = b.entry;
    if (x.end != y.end || x.shot != y.shot || x.team != y.team || x.delivered != y.delivered ||
        !SameShot(x.sent, y.sent) || !SameShot(x.played, y.played) || !SamePoints(&x.aimed, &y.aimed, 1) ||
        !SamePoints(&x.moved, &y.moved, 1) || !SamePoints(x.stones, y.stones, records::StoneCount) ||
        x.path.frames.size() != y.path.frames.size() || !a.scored.equal(b.scored)) {
        return false;
    }
    for (std::size_t k = 0; k < x.path.frames.size(); ++k) {
        if (!SamePoints(x.path.frames[k].data(), y.path.frames[k].data(), records::StoneCount)) {
            return false;
        }
    }
    return true;
}

FloatArray PathArray(const host::ShotPath& path) {
    FloatArray array(
        {static_cast<py::ssize_t>(path.frames.size()), py::ssize_t{records::StoneCount}, py::ssize_t{2}});
    float* out = array.mutable_data();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (const host::StoneFrame& frame : path.frames) {
        for (const records::StonePosition& stone : frame) {
            const bool onSheet = stone.x != 0.0f || stone.y != 0.0f;
            *out++ = onSheet ? stone.x : nan;
            *out++ = onSheet ? stone.y : nan;
        }
    }
    return array;
}

// A game and the lock that keeps a second thread out of it while one plays with the GIL released.
struct Game {
    GameInPlay game;
    std::mutex busy;
};

std::unique_lock<std::mutex> Hold(Game& game) {
    std::unique_lock<std::mutex> lock(game.busy, std::try_to_lock);
    if (!lock.owns_lock()) {
        throw std::runtime_error("the game is being played on another thread");
    }
    return lock;
}

void CheckNotOver(const GameInPlay& game, const std::string& which) {
    if (host::GameOver(game.referee)) {
        throw py::value_error(which + " is over: no stone is left to throw");
    }
}

PlayedShot LastPlayed(const GameInPlay& game) {
    PlayedShot played{game.log.shots.back()};
    if (played.entry.shot == host::StonesPerEnd - 1) {
        const host::EndEntry& end = game.log.ends.back();
        played.scored = py::make_tuple(end.points[0], end.points[1]);
    }
    return played;
}

std::unique_ptr<Game> MakeGame(const py::object& ends, const py::object& seed, const py::object& noise,
                               const py::object& number, const py::object& hammer) {
    if (!PyNumber_Check(noise.ptr()) || PyComplex_Check(noise.ptr()) || PyBool_Check(noise.ptr())) {
        throw py::type_error("noise must be a real number");
    }
    const double scale = py::float_(noise);
    if (!(scale >= 0.0 && scale <= 100.0)) {
        throw py::value_error("noise must lie in 0..100, got " + py::repr(noise).cast<std::string>());
    }
    auto made = std::make_unique<Game>();
    made->game = StartGame(static_cast<int>(CheckedWhole(ends, "ends", 1, 100)), CheckedSeed(seed), scale,
                           static_cast<int>(CheckedWhole(number, "game", 1, INT32_MAX)),
                           static_cast<int>(CheckedWhole(hammer, "hammer", 0, 1)));
    return made;
}

PlayedShot Play(Game& game, const py::object& shot, const py::object& target, bool paths) {
    const records::ShotVector sent = SentShot(shot, target);
    std::unique_lock<std::mutex> lock = Hold(game);
    CheckNotOver(game.game, "the game");
    {
        py::gil_scoped_release release;
        PlayNext(game.game, sent, paths);
    }
    return LastPlayed(game.game);
}

std::vector<PlayedShot> PlayMany(const py::sequence& games, const DoubleArray& actions, bool targets,
                                 long long threads, bool paths) {
    const std::size_t count = games.size();
    if (actions.ndim() != 2 || actions.shape(1) != 3 || static_cast<std::size_t>(actions.shape(0)) != count) {
        throw py::value_error("actions must have shape (" + std::to_string(count) + ", 3), one row per game");
    }
    if (threads < 0) {
        throw py::value_error("threads must be 0 (one per processor) or more, got " +
                              std::to_string(threads));
    }
    std::vector<Game*> held(count);
    std::vector<records::ShotVector> sent(count);
    const auto rows = actions.unchecked<2>();
    for (std::size_t i = 0; i < count; ++i) {
        const std::string which = "games[" + std::to_string(i) + "]";
        held[i] = py::cast<Game*>(games[i]);
        CheckNotOver(held[i]->game, which);
        try {
            const py::ssize_t row = static_cast<py::ssize_t>(i);
            const py::tuple numbers = py::make_tuple(rows(row, 0), rows(row, 1), rows(row, 2));
            const Triple triple = CheckedTriple(numbers, targets ? "target" : "shot");
            sent[i] =
                CheckedSent(targets ? ShotOfTarget(triple.first, triple.second, triple.curl)
                                    : records::ShotVector{triple.first, triple.second, triple.curl, {}});
        } catch (const py::value_error& error) {
            throw py::value_error("actions[" + std::to_string(i) + "]: " + error.what());
        }
    }
    std::vector<std::unique_lock<std::mutex>> locks;
    std::vector<GameInPlay*> playing;
    for (std::size_t i = 0; i < count; ++i) {
        locks.emplace_back(held[i]->busy, std::try_to_lock);
        if (!locks.back().owns_lock()) {
            throw std::runtime_error("games[" + std::to_string(i) +
                                     "] appears twice, or is being played on another thread");
        }
        playing.push_back(&held[i]->game);
    }
    const int threadCount = threads > 0 ? static_cast<int>(std::min<long long>(threads, 1024))
                                        : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    {
        py::gil_scoped_release release;
        PlayNextOnThreads(playing, sent, threadCount, paths);
    }
    std::vector<PlayedShot> played;
    for (GameInPlay* game : playing) {
        played.push_back(LastPlayed(*game));
    }
    return played;
}

py::array_t<int64_t> Scores(const GameInPlay& game) {
    py::array_t<int64_t> scores({static_cast<py::ssize_t>(game.log.ends.size()), py::ssize_t{2}});
    int64_t* out = scores.mutable_data();
    for (const host::EndEntry& end : game.log.ends) {
        *out++ = end.points[0];
        *out++ = end.points[1];
    }
    return scores;
}

py::object Winner(const GameInPlay& game) {
    const int leader = host::Leader(game.referee.progress);
    return host::GameOver(game.referee) && leader >= 0 ? py::object(py::int_(leader))
                                                       : py::object(py::none());
}

std::vector<PlayedShot> Shots(const GameInPlay& game) {
    std::vector<PlayedShot> shots;
    for (const host::ShotEntry& entry : game.log.shots) {
        PlayedShot played{entry};
        if (entry.shot == host::StonesPerEnd - 1) {
            const host::EndEntry& end = game.log.ends[static_cast<std::size_t>(entry.end)];
            played.scored = py::make_tuple(end.points[0], end.points[1]);
        }
        shots.push_back(std::move(played));
    }
    return shots;
}

std::unique_ptr<Game> Copy(Game& game) {
    std::unique_lock<std::mutex> lock = Hold(game);
    auto copy = std::make_unique<Game>();
    copy->game = game.game;
    return copy;
}

// Two team names for the record, "team 0" and "team 1" unless given.
void TeamNames(const py::object& given, std::string (&names)[2]) {
    names[0] = "team 0";
    names[1] = "team 1";
    if (given.is_none()) {
        return;
    }
    if (PyUnicode_Check(given.ptr()) || !PySequence_Check(given.ptr()) || py::len(given) != 2 ||
        !py::isinstance<py::str>(given[py::int_(0)]) || !py::isinstance<py::str>(given[py::int_(1)])) {
        throw py::type_error("names must be two strings, team 0's then team 1's");
    }
    names[0] = given[py::int_(0)].cast<std::string>();
    names[1] = given[py::int_(1)].cast<std::string>();
}

std::vector<std::string> Record(Game& game, const py::object& given) {
    std::string names[2];
    TeamNames(given, names);
    std::unique_lock<std::mutex> lock = Hold(game);
    return RecordLines(game.game, names);
}

void Save(Game& game, const py::object& folderObject, const py::object& given) {
    std::string names[2];
    TeamNames(given, names);
    const std::string folder = py::module_::import("os").attr("fspath")(folderObject).cast<std::string>();
    std::unique_lock<std::mutex> lock = Hold(game);
    std::string error;
    if (!host::MakeFolders(folder, error) || !SaveGame(game.game, names, folder, error)) {
        PyErr_SetString(PyExc_OSError, error.c_str());
        throw py::error_already_set();
    }
}

std::string Describe(const GameInPlay& game) {
    const host::GameProgress& progress = game.referee.progress;
    const std::string totals = std::to_string(progress.totals[0]) + "-" + std::to_string(progress.totals[1]);
    if (host::GameOver(game.referee)) {
        return "<curling.Game over after " + std::to_string(progress.ends.size()) + " ends, " + totals + ">";
    }
    return "<curling.Game end " + std::to_string(progress.ends.size() + 1) + " of " +
           std::to_string(host::EndsNow(game.referee)) + ", stone " +
           std::to_string(game.referee.end.shotNumber) + ", " + totals + ">";
}

// A read-only property of the game in play, refused while another thread plays it.
template <typename Read>
auto Reading(Read read) {
    return [read](Game& game) {
        std::unique_lock<std::mutex> lock = Hold(game);
        return read(game.game);
    };
}

py::tuple Point(const records::StonePosition& point) {
    return py::make_tuple(point.x, point.y);
}

// Named tuples: a shot and a target are both three numbers, and a player's answer must say which.
void BindTuples(py::module_& module) {
    const py::object namedTuple = py::module_::import("collections").attr("namedtuple");
    py::object shot = namedTuple("Shot", py::make_tuple("vx", "vy", "curl"), py::arg("module") = "curling");
    py::object target = namedTuple("Target", py::make_tuple("x", "y", "curl"), py::arg("module") = "curling");
    shot.attr("__doc__") = ShotDoc;
    target.attr("__doc__") = TargetDoc;
    module.attr("Shot") = shot;
    module.attr("Target") = target;
    shotType = shot.release();
    targetType = target.release();
}

void BindPlayedShot(py::module_& module) {
    py::class_<PlayedShot>(module, "PlayedShot", PlayedShotDoc)
        .def_property_readonly("end", [](const PlayedShot& p) { return p.entry.end; })
        .def_property_readonly("shot", [](const PlayedShot& p) { return p.entry.shot; })
        .def_property_readonly("team", [](const PlayedShot& p) { return p.entry.team; })
        .def_property_readonly("sent", [](const PlayedShot& p) { return ShotTuple(p.entry.sent); })
        .def_property_readonly("played", [](const PlayedShot& p) { return ShotTuple(p.entry.played); })
        .def_property_readonly("aimed", [](const PlayedShot& p) { return Point(p.entry.aimed); })
        .def_property_readonly("moved", [](const PlayedShot& p) { return Point(p.entry.moved); })
        .def_property_readonly("stones",
                               [](const PlayedShot& p) {
                                   records::GameState state{};
                                   std::copy(p.entry.stones, p.entry.stones + records::StoneCount,
                                             state.stones);
                                   return StonesArray(state);
                               })
        .def_property_readonly("path",
                               [](const PlayedShot& p) {
                                   return p.entry.path.frames.empty() ? py::object(py::none())
                                                                      : py::object(PathArray(p.entry.path));
                               })
        .def_readonly("scored", &PlayedShot::scored)
        .def(
            "__eq__",
            [](const PlayedShot& a, const py::object& b) {
                return py::isinstance<PlayedShot>(b)
                           ? py::object(py::bool_(SamePlayed(a, b.cast<const PlayedShot&>())))
                           : py::object(py::reinterpret_borrow<py::object>(Py_NotImplemented));
            },
            py::is_operator())
        .def("__repr__", [](const PlayedShot& p) {
            return "<curling.PlayedShot end " + std::to_string(p.entry.end) + " stone " +
                   std::to_string(p.entry.shot) + " team " + std::to_string(p.entry.team) + " played " +
                   py::repr(ShotTuple(p.entry.played)).cast<std::string>() + ">";
        });
}

}  // namespace

py::object ShotTuple(const records::ShotVector& shot) {
    return shotType(shot.vx, shot.vy, static_cast<int>(shot.curl));
}

py::object TargetTuple(const records::ShotTarget& target) {
    return targetType(target.x, target.y, static_cast<int>(target.curl));
}

void BindGame(py::module_& module) {
    using py::arg;
    BindTuples(module);
    BindPlayedShot(module);
    py::class_<Game>(module, "Game", GameDoc)
        .def(py::init(&MakeGame), arg("ends") = 8, arg("seed") = 1, arg("noise") = 1.0, py::kw_only(),
             arg("game") = 1, arg("hammer") = 1)
        .def("play", &Play, PlayDoc, arg("shot") = py::none(), py::kw_only(), arg("target") = py::none(),
             arg("paths") = false)
        .def_property_readonly(
            "stones", Reading([](const GameInPlay& g) { return StonesArray(g.referee.end); }),
            "(16, 2) float32: the stones of the end in play, in metres; (0, 0) not in play")
        .def_property_readonly("shot_number",
                               Reading([](const GameInPlay& g) { return g.referee.end.shotNumber; }),
                               "The stones thrown so far in the end in play (0..15), the next stone's index")
        .def_property_readonly("end",
                               Reading([](const GameInPlay& g) { return g.referee.progress.ends.size(); }),
                               "The end in play, 0 for the first; once the game is over, the ends played")
        .def_property_readonly("hammer",
                               Reading([](const GameInPlay& g) { return g.referee.progress.hammer; }),
                               "The team (0 or 1) with the last stone of the end in play")
        .def_property_readonly("team", Reading([](const GameInPlay& g) {
                                   return host::TeamForShot(g.referee.progress.hammer,
                                                            g.referee.end.shotNumber);
                               }),
                               "The team (0 or 1) to throw the next stone")
        .def_property_readonly("ends", Reading([](const GameInPlay& g) { return g.setup.ends; }),
                               "The regular ends of the game")
        .def_property_readonly(
            "ends_now", Reading([](const GameInPlay& g) { return host::EndsNow(g.referee); }),
            "The ends the game runs to now: the regular ends, more once extra ends are played")
        .def_property_readonly("scores", Reading(Scores),
                               "(ends played, 2) int64: each end's points, team 0 then team 1")
        .def_property_readonly("totals", Reading([](const GameInPlay& g) {
                                   return py::make_tuple(g.referee.progress.totals[0],
                                                         g.referee.progress.totals[1]);
                               }),
                               "(team 0, team 1): the points so far")
        .def_property_readonly("over", Reading([](const GameInPlay& g) { return host::GameOver(g.referee); }),
                               "True once the game is decided, or drawn after three extra ends")
        .def_property_readonly("winner", Reading(Winner),
                               "The winning team once the game is over; None before, or for a draw")
        .def_property_readonly("shots", Reading(Shots),
                               "Every stone played so far, a PlayedShot each, in order")
        .def_property_readonly("seed", Reading([](const GameInPlay& g) { return g.setup.seed; }),
                               "The noise's seed")
        .def_property_readonly("noise", Reading([](const GameInPlay& g) { return g.setup.noiseScale; }),
                               "The noise's scale: 1 is the host's, 0 none")
        .def_property_readonly("game", Reading([](const GameInPlay& g) { return g.setup.game; }),
                               "The game number within a match, which selects the noise with the seed")
        .def("record", &Record, RecordDoc, arg("names") = py::none())
        .def("save", &Save, SaveDoc, arg("folder"), arg("names") = py::none())
        .def("copy", &Copy, "An independent copy of the game as it stands, to try shots on")
        .def("__copy__", &Copy)
        .def(
            "__deepcopy__", [](Game& game, const py::object&) { return Copy(game); }, arg("memo"))
        .def("__repr__", Reading(Describe));
    module.def("play_many", &PlayMany, PlayManyDoc, arg("games"), arg("actions"), py::kw_only(),
               arg("targets") = false, arg("threads") = 0, arg("paths") = false);
}

}  // namespace python
