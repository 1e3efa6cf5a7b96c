#pragma once

#include "engine/engine.h"

namespace engine {

// ISREADY: resets the record, prepares the search tables, answers READYOK.
void HandleReady(Engine& engine);

// GO: searches the current record without changing it and answers BESTSHOT.
void HandleGo(Engine& engine);

}  // namespace engine
