#pragma once

#include "engine/engine.h"

#include <functional>

namespace engine {

// The whole engine process: binds the simulator library, then serves commands until input ends.
// `configure`, when given, sets the engine up once the library is bound (a baseline engine puts its
// stand-ins for the search there). Returns the exit code, 0 in every case.
int RunEngine(const std::function<void(Engine&)>& configure = {});

}  // namespace engine
