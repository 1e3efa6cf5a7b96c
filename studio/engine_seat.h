#pragma once

#include "host/engine_process.h"
#include "records/game_state.h"

#include <string>

// An engine that plays in a studio game, started and spoken to as the match host starts and speaks to
// its engines: NEWGAME and ISREADY once, then POSITION, SETSTATE and GO for each of its stones.
namespace studio {

struct EngineSeat {
    host::EngineProcess process;
    double seconds = 120.0;  // for the ready check and for each shot
};

// Starts the engine, its standard error going to `logPath`, and waits for READYOK. False with the reason.
[[nodiscard]] bool StartSeat(EngineSeat& seat, const std::string& path, const std::string& logPath,
                             std::string& error);

// The engine's shot for stone `shot` of end `end` (of `ends`) in `state`. False with the reason when it
// answers late, wrongly or not at all: the stone is then thrown away, as the host throws it away.
[[nodiscard]] bool AskShot(EngineSeat& seat, const records::GameState& state, int shot, int end, int ends,
                           records::ShotVector& answer, std::string& fault);

void StopSeat(EngineSeat& seat);

}  // namespace studio
