#include "python/player_binding.h"

#include "python/arguments.h"
#include "python/baselines.h"
#include "python/game_binding.h"

namespace python {

namespace {

constexpr const char* EngineReplyDoc = R"(The shot as the host plays it when an engine process sends `shot`.

An engine answers GO with "BESTSHOT %f %f %d": the velocities with six decimals. The host reads that text
back, so the shot it plays is rounded to the nearest micrometre per second. Returns that Shot; ValueError
with the host's reason for a shot the host would throw away (faster than 100 m/s).)";

constexpr const char* RandomChoicesDoc = R"(The answers of curling-random started with `seed` (0..2^64 - 1).

choice(k) is its answer to its k-th GO of a game (0 for the first): a candidate shot of the engine's grid
drawn from the seed, whatever the position, as the engine process sends it.)";

py::object EngineReply(const py::handle& shot) {
    const Triple sent = CheckedTriple(shot, "shot");
    records::ShotVector read{};
    std::string why;
    if (!ReadAsReply(records::ShotVector{sent.first, sent.second, sent.curl, {}}, read, why)) {
        throw py::value_error("the host would throw this stone away: " + why);
    }
    return ShotTuple(read);
}

// A sensible bound on the GOs of one game: 8 stones a team in at most 103 ends.
constexpr long long MostChoices = 1 << 16;

}  // namespace

void BindPlayers(py::module_& module) {
    module.def("engine_reply", &EngineReply, EngineReplyDoc, py::arg("shot"));
    py::class_<RandomChoices>(module, "RandomChoices", RandomChoicesDoc)
        .def(py::init([](const py::object& seed) { return RandomChoices(CheckedSeed(seed)); }),
             py::arg("seed"))
        .def(
            "choice",
            [](RandomChoices& choices, const py::object& k) {
                records::ShotVector read{};
                std::string why;
                const bool readable = ReadAsReply(
                    choices.Choice(static_cast<int>(CheckedWhole(k, "k", 0, MostChoices))), read, why);
                static_cast<void>(readable);  // every candidate shot is far below the host's speed limit
                return ShotTuple(read);
            },
            "The Shot of its k-th answer in a game", py::arg("k"));
}

}  // namespace python
