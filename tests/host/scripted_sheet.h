#pragma once

#include "host/game_log.h"
#include "host/sheet_model.h"
#include "tests/host/json_reader.h"

#include <string>
#include <vector>

// Test doubles for the host: a sheet on which every shot is its own resting point, and helpers to
// run games against fake engines and read back what they wrote.
namespace hosttest {

// restingPoint (vx, vy) → (vx, vy); shotForTarget (x, y) → (x, y); a delivered stone rests where its
// shot says; in play inside the play area; the team of the stone nearest the tee, if in the house,
// scores one. So noise shows up one to one in the played shot.
host::SheetModel ScriptedSheet();

// The fake engine linked under `mode`'s name in a folder of its own.
std::string FakeEngine(const std::string& mode);

// A game on the scripted sheet in a fresh folder.
host::GameSetup TestSetup(const std::string& engine0, const std::string& engine1, int ends = 1);
host::GameLog PlayTestGame(const host::GameSetup& setup);

// Every line of a JSON Lines file, parsed; a line that fails to parse makes the test fail.
std::vector<Json> ReadRecord(const std::string& path);

std::string ReadFile(const std::string& path);

}  // namespace hosttest
