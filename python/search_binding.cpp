#include "python/search_binding.h"

#include "python/arguments.h"
#include "python/game_binding.h"
#include "search/search.h"
#include "simulator/shot_inverse.h"

#include <pybind11/numpy.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <mutex>
#include <string>
#include <utility>

namespace python {

namespace {

constexpr const char* SearchDoc = R"(The engine's search, ready to play: the grids of one readiness check.

Making one runs the readiness check (19,976 calls of create_shot); every best_shot() after that reuses
it. Searches on one object run one at a time; searches on different objects may run at once.

test_targets, test_shots: (10994, 3) float32 arrays, the test grid in the order of the value table: rows
(x, y, curl) of the target each test aims at, and (vx, vy, curl) of its shot. Rows with y below 0 are
the strong shots, aimed past the far end of the sheet; the others are draws around the tee.)";

constexpr const char* BestShotDoc = R"(Searches the position as the engine's GO does and returns a BestShot.

stones: (16, 2) positions in metres; shot_number: stones delivered so far, 0..15 (the team of its parity
throws next). end (0 for the first) and ends (the ends the game runs to) are kept in the record as the
host's SETSTATE gives them; the choice does not depend on them. Plays every test shot on the engine's
worker threads with the GIL released, and weighs each candidate's neighbours with the host's execution
noise.)";

constexpr const char* BestShotResultDoc = R"(What one search found.

shot: the Shot (vx, vy, curl) the engine answers, in m/s; target: the Target (x, y, curl) it aims at, in
metres; expected_value:
its noise-weighted value for the team throwing (an end score after the last stone, 15, otherwise a
position evaluation); values: (10994,) float64, the outcome value of every test shot, in the order of
Search.test_targets.)";

struct BestShot {
    py::object shot;
    py::object target;
    double expectedValue = 0.0;
    py::array_t<double> values;
};

// The test grid as (10994, 3) rows: the two numbers of each cell, then its curl.
template <typename Cell, typename Numbers>
FloatArray Rows(const Cell* cells, Numbers numbers) {
    FloatArray rows({py::ssize_t{search::ValueTable::CellCount}, py::ssize_t{3}});
    float* out = rows.mutable_data();
    for (int i = 0; i < search::ValueTable::CellCount; ++i) {
        const auto [first, second] = numbers(cells[i]);
        *out++ = first;
        *out++ = second;
        *out++ = static_cast<float>(cells[i].curl);
    }
    return rows;
}

// A readiness-checked search; the lock keeps two Python threads out of one value table.
class PreparedSearch {
public:
    PreparedSearch() { search_.Prepare(simulator::WriteShotForTarget, nullptr); }

    BestShot Go(const FloatArray& stones, long long shotNumber, long long end, long long ends) {
        CheckStones(stones, 0);
        records::GameState state =
            StateFromStones(stones.data(), CheckedShotNumber(shotNumber, LastShotNumber));
        if (end < 0 || end > INT32_MAX || ends < 0 || ends > INT32_MAX) {
            throw py::value_error("end and ends must lie in 0..2147483647");
        }
        state.currentEnd = static_cast<int32_t>(end);
        state.setStateArg3 = static_cast<int32_t>(ends);
        search::Choice choice;
        py::array_t<double> values(search::ValueTable::CellCount);
        {
            py::gil_scoped_release release;
            std::lock_guard<std::mutex> lock(busy_);
            choice = search_.Go(state, nullptr);
            const search::ValueTable& table = search_.Values();
            std::copy(std::begin(table.cells), std::end(table.cells), values.mutable_data());
        }
        const search::CandidateIndex& chosen = choice.selection.chosen;
        const records::ShotTarget& target =
            search_.GetTables().candidateTargets(chosen.curl, chosen.row, chosen.column);
        BestShot best;
        best.shot = ShotTuple(choice.shot);
        best.target = TargetTuple(target);
        best.expectedValue = choice.selection.bestExpected;
        best.values = values;
        return best;
    }

    FloatArray TestTargets() const {
        return Rows(search_.GetTables().testTargets.cells, [](const records::ShotTarget& target) {
            return std::pair{target.x, target.y};
        });
    }
    FloatArray TestShots() const {
        return Rows(search_.GetTables().testShots.cells, [](const records::ShotVector& shot) {
            return std::pair{shot.vx, shot.vy};
        });
    }

private:
    search::Search search_;
    std::mutex busy_;
};

}  // namespace

void BindSearch(py::module_& module) {
    using py::arg;
    py::class_<BestShot>(module, "BestShot", BestShotResultDoc)
        .def_readonly("shot", &BestShot::shot)
        .def_readonly("target", &BestShot::target)
        .def_readonly("expected_value", &BestShot::expectedValue)
        .def_readonly("values", &BestShot::values)
        .def("__repr__", [](const BestShot& best) {
            return "BestShot(shot=" + py::repr(best.shot).cast<std::string>() +
                   ", expected_value=" + std::to_string(best.expectedValue) + ")";
        });
    py::class_<PreparedSearch>(module, "Search", SearchDoc)
        .def(py::init<>(), py::call_guard<py::gil_scoped_release>())
        .def("best_shot", &PreparedSearch::Go, BestShotDoc, arg("stones"), arg("shot_number"), arg("end") = 0,
             arg("ends") = 8)
        .def_property_readonly("test_targets", &PreparedSearch::TestTargets,
                               "(10994, 3) float32: (x, y, curl) of each test's target, in metres")
        .def_property_readonly("test_shots", &PreparedSearch::TestShots,
                               "(10994, 3) float32: (vx, vy, curl) of each test's shot, in m/s");
}

}  // namespace python
