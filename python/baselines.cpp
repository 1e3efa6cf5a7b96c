#include "python/baselines.h"

#include "host/protocol.h"
#include "platform/text.h"
#include "search/grid.h"
#include "simulator/shot_inverse.h"

#include <memory>

namespace python {

namespace {

using CandidateShots = search::CandidateTable<records::ShotVector>;

// The shots of the engine's candidate grid, as its readiness check makes them through CreateShot.
const CandidateShots& Candidates() {
    static const std::unique_ptr<const CandidateShots> shots = [] {
        auto made = std::make_unique<CandidateShots>();
        search::ForEachCell(search::CandidateGrid, [&](int curl, int row, int column) {
            (*made)(curl, row, column) =
                simulator::ShotForTarget(search::CellTarget(search::CandidateGrid, curl, row, column));
        });
        return made;
    }();
    return *shots;
}

}  // namespace

bool ReadAsReply(const records::ShotVector& shot, records::ShotVector& read, std::string& why) {
    const std::string reply = "BESTSHOT " + platform::FormatFixed(shot.vx) + ' ' +
                              platform::FormatFixed(shot.vy) + ' ' + std::to_string(shot.curl);
    const host::ParsedShot parsed = host::ParseBestShot(reply);
    why = parsed.why;
    read = parsed.shot;
    return parsed.fault == host::ReplyFault::None;
}

RandomChoices::RandomChoices(uint64_t seed) : generator_(seed) {}

records::ShotVector RandomChoices::Choice(int k) {
    while (static_cast<int>(drawn_.size()) <= k) {
        std::uniform_int_distribution<int> cell(0, CandidateShots::CellCount - 1);
        drawn_.push_back(cell(generator_));
    }
    return Candidates().cells[drawn_[static_cast<std::size_t>(k)]];
}

}  // namespace python
