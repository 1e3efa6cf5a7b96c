#pragma once

#include "physics/simulate_shot.h"
#include "records/game_state.h"
#include "search/search_report.h"
#include "search/search_tables.h"
#include "search/selection.h"

#include <atomic>
#include <cstdio>
#include <memory>

namespace search {

// What one search found: the shot to send and the figures its report shows.
struct Choice {
    records::ShotVector shot{};  // the chosen candidate's whole CandidateShots element
    Selection selection;
    SelectionReport report;
};

// The engine's search: the grids and kernels of the last readiness check and the value table of the last
// search. Zero, as before any readiness check, when made. One search runs
// at a time; the state searched must not change while it runs. The report goes to the sink the caller
// passes, one formatted print per line; a null sink takes nothing.
class Search {
public:
    Search();
    ~Search();
    Search(const Search&) = delete;
    Search& operator=(const Search&) = delete;

    // ISREADY: rebuilds the tables through createShot and logs the two counts.
    void Prepare(records::CreateShotFunction createShot, std::FILE* log);

    // GO: logs the position's score and evaluation, values every test, chooses, logs the report.
    // `testsDone`, when given, counts the test cells valued so far (see search::EvaluateTests).
    Choice Go(const records::GameState& state, std::FILE* log,
              physics::SimulationPath path = physics::SimulationPath::Fast,
              std::atomic<int>* testsDone = nullptr);

    // The valuing step of Go alone: fills Values().
    void EvaluateTests(const records::GameState& state, std::FILE* log,
                       physics::SimulationPath path = physics::SimulationPath::Fast,
                       std::atomic<int>* testsDone = nullptr);

    const Tables& GetTables() const { return *tables_; }
    // How the last search's plays went.
    const physics::PlayCounters& Counters() const { return counters_; }
    const ValueTable& Values() const { return *values_; }
    ValueTable& Values() { return *values_; }
    // Every candidate's expected value in the last Go.
    const ExpectedTable& ExpectedValues() const { return *expected_; }

private:
    std::unique_ptr<Tables> tables_;
    std::unique_ptr<ValueTable> values_;
    std::unique_ptr<ExpectedTable> expected_;
    physics::PlayCounters counters_;
};

}  // namespace search
