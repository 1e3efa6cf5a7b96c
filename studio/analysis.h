#pragma once

#include "records/game_state.h"
#include "search/search.h"

#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

namespace studio {

// How far the analyses have come, for the page's progress indicator.
struct AnalysisProgress {
    bool searching = false;
    int testsDone = 0;  // of the search that runs
    int tests = 0;      // cells of the test grid
    int waiting = 0;    // analyses queued behind it
};

// The engine's own search, run in-process on positions sent by the page: prepared as a readiness check
// prepares it, through the simulator library's inverse, so that its choice is the engine's GO bit for bit.
// One search runs at a time and a few more wait; answers are kept by position, so asking again answers
// at once. Safe to call from any number of threads.
class Analyser {
public:
    explicit Analyser(int queueLength);

    // Builds the grids and kernels, as ISREADY does.
    void Prepare();

    enum class Outcome { Answered, Busy };

    // The analysis of the position as JSON text. Busy, with nothing done, when the queue is full.
    Outcome Analyse(const records::GameState& state, std::shared_ptr<const std::string>& answer);

    AnalysisProgress Progress() const;

private:
    std::shared_ptr<const std::string> Cached(const std::string& key) const;

    search::Search search_;
    std::mutex searchMutex_;  // held while the search runs and its answer is written
    mutable std::mutex queueMutex_;
    int queueLength_;
    int admitted_ = 0;  // the search that runs and those that wait for it
    std::atomic<bool> searching_{false};
    std::atomic<int> testsDone_{0};
    std::deque<std::pair<std::string, std::shared_ptr<const std::string>>> answers_;  // oldest first
};

}  // namespace studio
