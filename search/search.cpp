#include "search/search.h"

#include "evaluation/house_scoring.h"
#include "evaluation/position_evaluation.h"
#include "search/evaluate_tests.h"
#include "search/log_line.h"

namespace search {

Search::Search()
    : tables_(std::make_unique<Tables>()),
      values_(std::make_unique<ValueTable>()),
      expected_(std::make_unique<ExpectedTable>()) {}

Search::~Search() = default;

void Search::Prepare(records::CreateShotFunction createShot, std::FILE* log) {
    PrepareTables(createShot, *tables_, log, WorkerCount + 1);
}

void Search::EvaluateTests(const records::GameState& state, std::FILE* log, physics::SimulationPath path,
                           std::atomic<int>* testsDone) {
    counters_ = search::EvaluateTests(state, *tables_, *values_, path, log, testsDone);
}

Choice Search::Go(const records::GameState& state, std::FILE* log, physics::SimulationPath path,
                  std::atomic<int>* testsDone) {
    const bool oddToPlay = (state.shotNumber & 1) != 0;
    const int score = evaluation::EndScore(state);
    LogLine(log, "%s\n", ReportSeparator);
    LogLine(log, "current score: %d\n", oddToPlay ? -score : score);
    LogLine(log, "current evaluation: %f\n", evaluation::EvaluatePosition(state, state.shotNumber & 1));
    EvaluateTests(state, log, path, testsDone);
    Choice choice;
    choice.selection = ChooseCandidate(*tables_, *values_, expected_.get());
    choice.report = SummariseSelection(*tables_, *values_, choice.selection);
    WriteSelectionReport(log, *tables_, *values_, choice.selection, choice.report);
    const CandidateIndex& chosen = choice.selection.chosen;
    choice.shot = tables_->candidateShots(chosen.curl, chosen.row, chosen.column);
    return choice;
}

}  // namespace search
