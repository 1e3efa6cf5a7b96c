#pragma once

#include "host/game_log.h"
#include "host/sheet_model.h"

#include <functional>

namespace host {

// Called after every shot and every end, on the thread that plays the game.
using ProgressCallback = std::function<void(const GameLog& log)>;

// Plays one game between two fresh engine processes in setup.folder (which must exist): the record
// (record.jsonl), each engine's standard error (engine-1.log, engine-2.log) and replay.html go there.
// An engine that cannot start, answer the ready check, or stay alive forfeits; a bad or late reply
// only throws that stone away.
GameLog PlayGame(const GameSetup& setup, const SheetModel& model, const ProgressCallback& progress);

}  // namespace host
