#pragma once

#include "front/game_state.h"

namespace host {

// What the host needs from the sheet to referee a game. Plain function pointers, so that tests can
// script outcomes; EngineSheetModel binds the engine's own physics, scoring and simulator library.
struct SheetModel {
    void (*warmUp)();                                  // once, before games run on several threads
    StonePosition (*restingPoint)(const ShotVector&);  // a lone stone on an empty sheet, bounds ignored
    ShotVector (*shotForTarget)(const ShotTarget&);    // the simulator library's CreateShot
    bool (*simulateShot)(GameState&, ShotVector);      // one delivery, free guard zone rule included
    bool (*inPlay)(StonePosition);                     // still counts once the shot has come to rest
    int (*endScore)(const GameState&);                 // positive when the even-numbered stones score
};

SheetModel EngineSheetModel();

}  // namespace host
