#pragma once

#include "host/game_log.h"
#include "records/game_state.h"

namespace host {

// What the host needs from the sheet to referee a game. Plain function pointers, so that tests can
// script outcomes; EngineSheetModel binds the engine's own physics, scoring and simulator library.
struct SheetModel {
    void (*warmUp)();  // once, before games run on several threads
    records::StonePosition (*restingPoint)(
        const records::ShotVector&);  // a lone stone on an empty sheet, bounds ignored
    records::ShotVector (*shotForTarget)(const records::ShotTarget&);  // the simulator library's CreateShot
    // One delivery, free guard zone rule included, with the stones' paths when a path is given.
    bool (*simulateShot)(records::GameState&, records::ShotVector, ShotPath*);
    bool (*inPlay)(records::StonePosition);      // still counts once the shot has come to rest
    int (*endScore)(const records::GameState&);  // positive when the even-numbered stones score
};

SheetModel EngineSheetModel();

}  // namespace host
