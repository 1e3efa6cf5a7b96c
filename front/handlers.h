#pragma once

#include "front/engine.h"

namespace front {

// ISREADY: resets the record, prepares the search tables, answers READYOK.
void HandleReady(Engine& engine);

// GO: searches the current record without changing it and answers BESTSHOT.
void HandleGo(Engine& engine);

}  // namespace front
