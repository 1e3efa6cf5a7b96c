#include "studio/analysis.h"

#include "physics/simulate_shot.h"
#include "simulator/shot_inverse.h"
#include "studio/analysis_json.h"

#include <algorithm>
#include <cstring>
#include <functional>

namespace studio {

namespace {

// Answers kept: each is a few hundred kilobytes of JSON.
constexpr std::size_t KeptAnswers = 32;

// Everything the search reads of a position.
std::string PositionKey(const records::GameState& state) {
    std::string key(sizeof(state.shotNumber) + sizeof(state.stones), '\0');
    std::memcpy(&key[0], &state.shotNumber, sizeof(state.shotNumber));
    std::memcpy(&key[sizeof(state.shotNumber)], state.stones, sizeof(state.stones));
    return key;
}

}  // namespace

Analyser::Analyser(int queueLength) : queueLength_(queueLength) {}

void Analyser::Prepare() {
    physics::WarmUp();
    std::lock_guard<std::mutex> lock(searchMutex_);
    search_.Prepare(simulator::WriteShotForTarget, nullptr);
}

std::shared_ptr<const std::string> Analyser::Cached(const std::string& key) const {
    std::lock_guard<std::mutex> lock(queueMutex_);
    for (const auto& kept : answers_) {
        if (kept.first == key) {
            return kept.second;
        }
    }
    return nullptr;
}

Analyser::Outcome Analyser::Analyse(const records::GameState& state,
                                    std::shared_ptr<const std::string>& answer) {
    const std::string key = PositionKey(state);
    answer = Cached(key);
    if (answer) {
        return Outcome::Answered;
    }
    {
        std::lock_guard<std::mutex> lock(queueMutex_);
        if (admitted_ > queueLength_) {
            return Outcome::Busy;
        }
        ++admitted_;
    }
    // Whatever happens from here on, the place in the queue is given back.
    std::unique_ptr<int, std::function<void(int*)>> place(&admitted_, [this](int* admitted) {
        std::lock_guard<std::mutex> lock(queueMutex_);
        --*admitted;
    });
    std::lock_guard<std::mutex> searchLock(searchMutex_);
    // The same position may have been answered while this one waited.
    answer = Cached(key);
    if (answer) {
        return Outcome::Answered;
    }
    testsDone_.store(0);
    searching_.store(true);
    const search::Choice choice = search_.Go(state, nullptr, physics::SimulationPath::Fast, &testsDone_);
    answer = std::make_shared<const std::string>(AnalysisJson(search_, choice, state).dump());
    searching_.store(false);
    std::lock_guard<std::mutex> lock(queueMutex_);
    answers_.emplace_back(key, answer);
    if (answers_.size() > KeptAnswers) {
        answers_.pop_front();
    }
    return Outcome::Answered;
}

AnalysisProgress Analyser::Progress() const {
    AnalysisProgress progress;
    progress.searching = searching_.load();
    progress.testsDone = testsDone_.load();
    progress.tests = search::ValueTable::CellCount;
    std::lock_guard<std::mutex> lock(queueMutex_);
    progress.waiting = std::max(0, admitted_ - (progress.searching ? 1 : 0));
    return progress;
}

}  // namespace studio
